#pragma once
// The file time of the worked example of file-time conversion, for the tests of the conversion
// against a fake zone and against the real one.

#include <cstdint>

// 2003-01-15 11:00 UTC.
inline constexpr std::uint64_t kJanuaryFileTime = 126871020000000000ULL;
