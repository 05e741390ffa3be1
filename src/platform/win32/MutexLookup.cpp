#include "platform/MutexLookup.h"

#include <windows.h>

namespace platform {

// The scheduler holds its mutex for its whole life, so a mutex of that name exists exactly
// while it runs. The handle opened here is closed at once; only while it is open would the
// mutex outlive a scheduler that ends at that very moment.
MutexPresence LookForNamedMutex(const std::string& name) {
  const HANDLE handle = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
  if (handle != nullptr) {
    CloseHandle(handle);
    return MutexPresence::Held;
  }
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
      return MutexPresence::Absent;
    case ERROR_ACCESS_DENIED:  // there, but made by someone we may not open it for
      return MutexPresence::Held;
    default:
      return MutexPresence::Unknown;
  }
}

}  // namespace platform
