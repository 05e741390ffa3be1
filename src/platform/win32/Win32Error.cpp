#include "platform/win32/Win32Error.h"

#include <windows.h>

namespace platform {

std::string Win32ErrorText(const char* call, unsigned long errorCode) {
  char* buffer = nullptr;
  FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, errorCode, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string reason = buffer != nullptr ? buffer : "unknown reason";
  LocalFree(buffer);
  while (!reason.empty() &&
         (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
    reason.pop_back();
  return std::string(call) + " failed: " + reason + " (error " + std::to_string(errorCode) + ")";
}

}  // namespace platform
