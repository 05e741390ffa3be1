#pragma once
// Comparing texts with letter case ignored, by the rules of the user's locale.

#include <string>
#include <string_view>

namespace platform {

// CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE) == CSTR_EQUAL on Windows; on POSIX
// a byte-wise comparison through the C library's toupper in the environment's locale.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// A key that two texts share exactly when SameTextIgnoringCase holds for them, so that many
// texts can be matched through a table instead of one by one. Windows: the sort key that
// LCMapStringA makes with the same flags (equal sort keys compare equal); POSIX: every byte
// through toupper.
std::string CaseFoldKey(std::string_view text);

}  // namespace platform
