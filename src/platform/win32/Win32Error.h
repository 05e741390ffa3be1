#pragma once
// Message of a failed Win32 call whose error text is ours to choose: which call failed, the
// system's reason and its code, e.g. "CreateWindowExA failed: Invalid window handle. (error 1400)".

#include <string>

namespace platform {

std::string Win32ErrorText(const char* call, unsigned long errorCode);

}  // namespace platform
