#include "platform/NamedMutex.h"

#include <windows.h>

namespace platform {

NamedMutex::NamedMutex(const std::string& name) {
  const HANDLE handle = CreateMutexA(nullptr, TRUE, name.c_str());
  // Read at once: any later call may change the thread's last error.
  alreadyExisted_ = GetLastError() == ERROR_ALREADY_EXISTS;
  if (handle != nullptr) handle_ = reinterpret_cast<std::intptr_t>(handle);
}

NamedMutex::~NamedMutex() {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace platform
