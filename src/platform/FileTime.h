#pragma once
// File times: 64-bit counts of 100 ns ticks since 1601-01-01 00:00 UTC, the way Windows dates
// files. The POSIX backends convert them from and to the C library's seconds since 1970.

#include <cstdint>

namespace platform {

inline constexpr std::int64_t kFileTimeTicksPerSecond = 10'000'000;
// From 1601-01-01 to 1970-01-01: 369 years, 89 of them leap years.
inline constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

}  // namespace platform
