#pragma once
// Comparing texts with letter case ignored, by the rules of the user's locale.

#include <string_view>

namespace platform {

// CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE) == CSTR_EQUAL on Windows; on POSIX
// a byte-wise comparison through the C library's toupper in the environment's locale.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

}  // namespace platform
