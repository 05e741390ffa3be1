// Linked into a test build of the scheduler: its volume keeps no short names, so the short
// name of any path is the path itself (as GetShortPathNameW answers on such a volume).

#include <windows.h>

#include <cwchar>

#include "platform/win32/ShortPathCall.h"

namespace {

DWORD WINAPI LongPathBack(LPCWSTR longPath, LPWSTR shortPath, DWORD size) {
  const DWORD length = static_cast<DWORD>(std::wcslen(longPath));
  if (length >= size) return length + 1;
  std::wmemcpy(shortPath, longPath, length + 1);
  return length;
}

const bool installed = (platform::SystemShortPathCall() = LongPathBack, true);

}  // namespace
