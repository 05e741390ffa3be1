#include "foundation/MillisecondCount.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

// What the count stands for, done by the hardware: the product in the extended format and
// llrint in the default rounding mode (to nearest, ties to even). Only where long double is
// that format (x86's 64-bit significand); arm64's has 113 bits, and rounds otherwise.
constexpr bool kLongDoubleIsExtended = std::numeric_limits<long double>::digits == 64;
std::optional<std::int64_t> ExtendedCount(double value) {
  const long double product = static_cast<long double>(value) * 86'400'000.0L;
  if (!(std::fabs(product) < 0x1p62L)) return std::nullopt;
  return std::llrint(product);
}

// xorshift64*: the same values on every platform and run.
class Bits {
 public:
  std::uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1DULL;
  }

 private:
  std::uint64_t state_ = 0x9E3779B97F4A7C15ULL;
};

double WithExponent(std::uint64_t significand, int exponent, bool negative) {
  const double magnitude = std::ldexp(static_cast<double>(significand), exponent);
  return negative ? -magnitude : magnitude;
}

// Inverse of 84 375 (86 400 000 = 84 375 * 2^10) modulo 2^64, by Newton's iteration.
constexpr std::uint64_t InverseOf84375() {
  std::uint64_t x = 84375;  // right to 3 bits; each step doubles them
  for (int i = 0; i < 5; ++i) x *= 2 - 84375 * x;
  return x;
}
static_assert(InverseOf84375() * 84375 == 1);

TEST(MillisecondCount, HardCases) {
  struct Case {
    const char* label;
    double value;
    std::optional<std::int64_t> count;
  } cases[] = {
      {"zero", 0.0, 0},
      {"negative zero", -0.0, 0},
      {"tie, up to even", 1.0 / 2048, 42188},
      {"tie, down to even", 3.0 / 2048, 126562},
      {"negative tie", -3.0 / 2048, -126562},
      // The exact product is 3,972,204,449,284.50000007: rounded to 64 significant bits first
      // it becomes a tie, which goes to the even neighbour, where one exact rounding would
      // give ...285.
      {"a hair above a tie", 0x1.672d2d543f75fp+15, 3'972'204'449'284},
      {"half a millisecond", 0.5 / 86'400'000, 0},
      {"just over half a millisecond", std::nextafter(0.5 / 86'400'000, 1.0), 1},
      {"smallest subnormal", std::numeric_limits<double>::denorm_min(), 0},
      {"last millisecond of 9999-12-31", 2958465 + 86399999.0 / 86'400'000, 255'611'462'399'999},
      {"first moment of 0001-01-01", -693593, -59'926'435'200'000},
      {"the last value below 2^62 ms", 0x1.8daea1d7f4cf7p+35, 4'611'686'018'427'387'818},
      {"the first value at 2^62 ms", 0x1.8daea1d7f4cf8p+35, std::nullopt},
      {"the same below zero", -0x1.8daea1d7f4cf8p+35, std::nullopt},
      {"largest double", std::numeric_limits<double>::max(), std::nullopt},
      {"infinity", std::numeric_limits<double>::infinity(), std::nullopt},
      {"NaN", std::numeric_limits<double>::quiet_NaN(), std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MillisecondCount(c.value), c.count) << c.label;
    if (kLongDoubleIsExtended) {
      EXPECT_EQ(MillisecondCount(c.value), ExtendedCount(c.value)) << c.label;
    }
  }
}

// The proof of the integer rounding: 18 million values against the hardware, in four kinds.
TEST(MillisecondCount, MatchesLlrintOfTheExtendedProductOverEighteenMillionValues) {
  if (!kLongDoubleIsExtended) GTEST_SKIP() << "long double is not the extended format here";
  Bits bits;
  int mismatches = 0;
  auto check = [&](double value) {
    if (MillisecondCount(value) != ExtendedCount(value) && ++mismatches <= 10)
      ADD_FAILURE() << "value " << std::hexfloat << value;
  };

  // Any double of the calendar's range of days and of the times of day, sign and all.
  for (int i = 0; i < 5'000'000; ++i) {
    const std::uint64_t r = bits.Next();
    const int exponent = -60 + static_cast<int>(r % 50);  // 2^-8 to 2^42 days
    check(WithExponent((r >> 11) | (std::uint64_t{1} << 52), exponent, (r & 0x80) != 0));
  }

  // Next to a tie: the fraction of the exact product is a half plus or minus at most 127 of
  // its last units, ties themselves included. The significand's low bits are chosen so that
  // significand * 84 375 ends in the wanted fraction; the high bits are random.
  for (int i = 0; i < 10'000'000; ++i) {
    const std::uint64_t r = bits.Next();
    const int fractionBits = 8 + static_cast<int>(r % 44);  // of the product, in [8, 51]
    const std::int64_t offset = static_cast<std::int64_t>((r >> 8) % 255) - 127;
    const std::uint64_t mask = (std::uint64_t{1} << fractionBits) - 1;
    const std::uint64_t fraction = ((std::uint64_t{1} << (fractionBits - 1)) + offset) & mask;
    const std::uint64_t low = fraction * InverseOf84375() & mask;
    const std::uint64_t high = bits.Next() >> (11 + fractionBits) << fractionBits;
    const std::uint64_t significand = high | low | (std::uint64_t{1} << 52);
    check(WithExponent(significand, -10 - fractionBits, (r & 0x80000000) != 0));
  }

  // Whole numbers of days, as every date is, and whole days with a few bits of fraction.
  for (int i = 0; i < 1'000'000; ++i) {
    const std::uint64_t r = bits.Next();
    const double days = static_cast<double>(static_cast<std::int64_t>(r >> 27) - (1LL << 36));
    check(days);
    check(days + std::ldexp(static_cast<double>(r & 0xFF), -static_cast<int>((r >> 8) % 12)));
  }

  // Subnormals, the limits of the count and values far outside it: any bit pattern.
  for (int i = 0; i < 1'000'000; ++i) {
    const std::uint64_t r = bits.Next();
    check(std::bit_cast<double>(r));
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
