#pragma once
// The searches over the bytes of lines that run on every rebuild of the job list. Each has a
// vector version where the processor has one (SSE2) and a scalar twin that every build
// compiles: the tests hold the two to the same answers on the same bytes, and a processor
// without the vector version runs the twin. The unqualified name is the one to call.
// Everything is inline: the searches sit in the innermost loops of their callers.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "foundation/PaddedBuffer.h"

namespace linesearch {

// ---- The first line break, for a file read whole ---------------------------------------
// Where the first CR or LF of `text` at or after `from` (at most text.size()) lies, or
// text.size() when there is none.

inline std::size_t FirstBreakScalar(std::string_view text, std::size_t from) {
  const char* at = text.data() + from;
  const char* const end = text.data() + text.size();
  while (at != end && *at != '\r' && *at != '\n') ++at;
  return static_cast<std::size_t>(at - text.data());
}

#ifdef __SSE2__
inline std::size_t FirstBreakSse2(std::string_view text, std::size_t from) {
  const char* at = text.data() + from;
  const char* const end = text.data() + text.size();
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; end - at >= 16; at += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const auto breaks = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
    if (breaks != 0) return static_cast<std::size_t>(at - text.data()) + std::countr_zero(breaks);
  }
  return FirstBreakScalar(text, static_cast<std::size_t>(at - text.data()));
}
#endif

inline std::size_t FirstBreak(std::string_view text, std::size_t from) {
#ifdef __SSE2__
  return FirstBreakSse2(text, from);
#else
  return FirstBreakScalar(text, from);
#endif
}

// ---- Whether a line of a comma text is written between quotes --------------------------
// It is when it holds a control character, a space, '"' or ',' before its first NUL, where
// its text ends. A NUL counts among the control characters, so the first of them decides.

inline constexpr auto kDecidesQuotes = [] {
  std::array<bool, 256> decides{};
  for (int c = 0; c <= ' '; ++c) decides[static_cast<std::size_t>(c)] = true;
  decides['"'] = decides[','] = true;
  return decides;
}();

inline bool NeedsQuotesScalar(std::string_view line) {
  for (const char c : line) {
    if (kDecidesQuotes[static_cast<unsigned char>(c)]) return c != '\0';
  }
  return false;
}

#ifdef __SSE2__
inline bool NeedsQuotesSse2(std::string_view line) {
  const char* at = line.data();
  const char* const end = at + line.size();
  const __m128i space = _mm_set1_epi8(' ');
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i comma = _mm_set1_epi8(',');
  for (; end - at >= 16; at += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
    const __m128i blank = _mm_cmpeq_epi8(_mm_min_epu8(bytes, space), bytes);  // at most ' '
    const auto hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
        blank, _mm_or_si128(_mm_cmpeq_epi8(bytes, quote), _mm_cmpeq_epi8(bytes, comma)))));
    if (hits != 0) return at[std::countr_zero(hits)] != '\0';
  }
  return NeedsQuotesScalar(std::string_view(at, static_cast<std::size_t>(end - at)));
}
#endif

inline bool NeedsQuotes(std::string_view line) {
#ifdef __SSE2__
  return NeedsQuotesSse2(line);
#else
  return NeedsQuotesScalar(line);
#endif
}

// ---- Line ends in a read buffer, a block at a time --------------------------------------
// The places of CR, LF and NUL among the kBlock bytes from `block` on, as bits (bit i stands
// for block[i]), less those at or after bytes.end(); `block` lies in `bytes` or at its end.
// A job file is scanned up to its 23rd line on every rebuild: one mask per 64 bytes keeps the
// search to a few instructions a line.

// The obvious version: looks at no byte past the end.
inline std::uint64_t StopsInScalar(PaddedBytes bytes, const char* block) {
  const auto count = std::min(kBlock, static_cast<std::size_t>(bytes.end() - block));
  std::uint64_t stops = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = block[i];
    if (c == '\r' || c == '\n' || c == '\0') stops |= std::uint64_t{1} << i;
  }
  return stops;
}

#ifdef __SSE2__
// Looks at the whole block, into the padding, and drops what lies past the end.
inline std::uint64_t StopsInSse2(PaddedBytes bytes, const char* block) {
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i nul = _mm_setzero_si128();
  std::uint64_t stops = 0;
#pragma GCC unroll 4
  for (int part = 0; part < 4; ++part) {
    const __m128i bytes16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
    const __m128i hits =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes16, cr), _mm_cmpeq_epi8(bytes16, lf)),
                     _mm_cmpeq_epi8(bytes16, nul));
    stops |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(hits))} << (16 * part);
  }
  const auto left = bytes.end() - block;
  if (left < static_cast<std::ptrdiff_t>(kBlock)) stops &= (std::uint64_t{1} << left) - 1;
  return stops;
}
#endif

inline std::uint64_t StopsIn(PaddedBytes bytes, const char* block) {
#ifdef __SSE2__
  return StopsInSse2(bytes, block);
#else
  return StopsInScalar(bytes, block);
#endif
}

}  // namespace linesearch
