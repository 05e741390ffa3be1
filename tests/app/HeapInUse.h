#pragma once
// Bytes that the process has allocated and not yet freed, where the allocator tells: the
// sanitizers' allocator in the sanitizer build, glibc's malloc otherwise; nothing on other
// platforms. For tests that watch a long run for growth.

#include <cstddef>
#include <cstdlib>
#include <optional>

// HARBOVALE_ADDRESS_SANITIZER: built with the address sanitizer (clang or gcc).
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HARBOVALE_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define HARBOVALE_ADDRESS_SANITIZER 1
#endif

#if defined(HARBOVALE_ADDRESS_SANITIZER)
#include <sanitizer/allocator_interface.h>
#elif defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
#include <malloc.h>
#define HARBOVALE_HEAP_FROM_MALLINFO2 1
#endif

inline std::optional<std::size_t> HeapInUse() {
#if defined(HARBOVALE_ADDRESS_SANITIZER)
  return __sanitizer_get_current_allocated_bytes();
#elif defined(HARBOVALE_HEAP_FROM_MALLINFO2)
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;  // blocks in the arenas, and those mapped on their own
#else
  return std::nullopt;
#endif
}
