#pragma once
// Handing memory that the program has freed back to the system.

namespace platform {

// Returns the free parts of the heap to the system (malloc_trim on POSIX, HeapCompact on
// Windows), so that a process about to idle for hours keeps only what it still uses resident.
void ReturnFreeMemory();

}  // namespace platform
