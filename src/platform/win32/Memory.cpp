#include "platform/Memory.h"

#include <windows.h>

namespace platform {

void ReturnFreeMemory() { HeapCompact(GetProcessHeap(), 0); }

}  // namespace platform
