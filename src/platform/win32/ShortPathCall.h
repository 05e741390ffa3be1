#pragma once
// GetShortPathNameW, reached through a pointer so that a test build can play a volume that
// keeps no short names (where the call gives the long path back unchanged).

#include <windows.h>

namespace platform {

using ShortPathCall = DWORD(WINAPI*)(LPCWSTR longPath, LPWSTR shortPath, DWORD size);

// The call in use; nothing (the start) means the real GetShortPathNameW.
ShortPathCall& SystemShortPathCall();

}  // namespace platform
