#pragma once
// The whole number of milliseconds a date-time value stands for: the value times 86 400 000
// in extended precision (a 64-bit significand), rounded to the nearest integer, a tie to the
// even neighbour. Every value is taken apart from this count.
//
// Done in integers rather than with the x87 unit or the maths library: the double is taken
// apart into its significand and exponent, multiplied exactly in 128 bits, and rounded twice
// as the extended format does, first to 64 significant bits, then to a whole number. Both
// roundings are ties to even, so the count is the same on every compiler and platform.

#include <bit>
#include <cstdint>
#include <optional>

namespace millisecond_count {

__extension__ using Wide = unsigned __int128;

inline constexpr std::uint64_t kMsPerDay = 86'400'000;

// q / 2^shift rounded to the nearest integer, a tie to the even one; shift in [1, 63].
constexpr std::uint64_t ShiftRoundingToEven(std::uint64_t q, int shift) {
  const std::uint64_t kept = q >> shift;
  const std::uint64_t rest = q & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  return kept + ((rest > half || (rest == half && (kept & 1) != 0)) ? 1 : 0);
}

// The 64 significant bits the extended format keeps of `product`, rounded to even, as
// bits * 2^exponent; `product` < 2^80.
constexpr std::uint64_t KeepSixtyFourBits(Wide product, int& exponent) {
  const auto high = static_cast<std::uint64_t>(product >> 64);  // < 2^16
  const auto low = static_cast<std::uint64_t>(product);
  if (high == 0) return low;
  const int shift = static_cast<int>(std::bit_width(high));  // [1, 16]
  const std::uint64_t kept = (high << (64 - shift)) | (low >> shift);
  const std::uint64_t rest = low & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  exponent += shift;
  if (rest < half || (rest == half && (kept & 1) == 0)) return kept;
  if (kept != ~std::uint64_t{0}) return kept + 1;
  exponent += 1;  // rounded up to 2^64
  return std::uint64_t{1} << 63;
}

}  // namespace millisecond_count

// Nothing for infinities, NaN and values whose count would reach 2^62 (over a hundred
// million years: no calendar part fits there anyway).
constexpr std::optional<std::int64_t> MillisecondCount(double value) {
  using namespace millisecond_count;
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const int biasedExponent = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  if (biasedExponent == 0x7FF) return std::nullopt;
  // |value| = significand * 2^exponent; subnormals have no hidden bit.
  const std::uint64_t significand =
      biasedExponent == 0 ? fraction : fraction | (std::uint64_t{1} << 52);  // < 2^53
  int exponent = (biasedExponent == 0 ? 1 : biasedExponent) - 1075;

  // A whole number of days, as every date is, from 1 on: the product is exact in 64 bits,
  // so neither rounding changes it.
  if (exponent < 0 && exponent >= -52 &&
      (significand & ((std::uint64_t{1} << -exponent) - 1)) == 0) {
    const std::uint64_t days = significand >> -exponent;
    if (days > ((std::uint64_t{1} << 62) - 1) / kMsPerDay) return std::nullopt;
    const auto count = static_cast<std::int64_t>(days * kMsPerDay);
    return negative ? -count : count;
  }

  // |value| * 86 400 000 in the extended format: bits * 2^exponent.
  const std::uint64_t bits64 = KeepSixtyFourBits(Wide{significand} * kMsPerDay, exponent);
  // Below 2^62 exactly when the bits reach no higher than 2^61.
  if (static_cast<int>(std::bit_width(bits64)) + exponent > 62) return std::nullopt;
  std::uint64_t whole;  // the nearest integer
  if (exponent >= 0)
    whole = bits64 << exponent;
  else if (exponent > -64)
    whole = ShiftRoundingToEven(bits64, -exponent);
  else  // below 1, and above 1/2 only for bits above 2^63 at 2^-64
    whole = exponent == -64 && bits64 > (std::uint64_t{1} << 63) ? 1 : 0;
  const auto count = static_cast<std::int64_t>(whole);
  return negative ? -count : count;
}

// A tie between two milliseconds goes to the even one.
static_assert(*MillisecondCount(1.0 / 2048) == 42188);   // 42187.5
static_assert(*MillisecondCount(3.0 / 2048) == 126562);  // 126562.5
static_assert(*MillisecondCount(-3.0 / 2048) == -126562);
static_assert(*MillisecondCount(0.0) == 0);
static_assert(*MillisecondCount(0.5) == 43'200'000);
static_assert(!MillisecondCount(0x1p62 / 86'400'000 * 2));
static_assert(*MillisecondCount(-693593) == -59'926'435'200'000);  // 0001-01-01
static_assert(*MillisecondCount(1.0) == 86'400'000 && *MillisecondCount(2958465.0) == 255'611'376'000'000);
