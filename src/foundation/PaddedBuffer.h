#pragma once
// A read buffer followed by a block of zero bytes, for searches that look at a whole block
// at a time: from any place before the end of what was read, a block may be loaded without
// reading past the buffer, and without a slower path for the last bytes.

#include <algorithm>
#include <cstddef>

namespace linesearch {

// The bytes a search looks at together, and so the zero bytes kept after the data.
inline constexpr std::size_t kBlock = 64;

template <std::size_t Capacity>
class PaddedBuffer;

// The bytes read into a PaddedBuffer, which alone makes one: kBlock zero bytes follow end().
class PaddedBytes {
 public:
  const char* begin() const { return begin_; }
  const char* end() const { return end_; }
  std::size_t size() const { return static_cast<std::size_t>(end_ - begin_); }

 private:
  template <std::size_t Capacity>
  friend class PaddedBuffer;
  PaddedBytes(const char* begin, const char* end) : begin_(begin), end_(end) {}

  const char* begin_;
  const char* end_;
};

template <std::size_t Capacity>
class PaddedBuffer {
 public:
  // Where a read puts its bytes, and how many it may put there.
  char* Room() { return bytes_; }
  static constexpr std::size_t RoomSize() { return Capacity; }

  // The first `count` bytes of the room (at most all of it), the padding after them zeroed.
  PaddedBytes Filled(std::size_t count) {
    count = std::min(count, Capacity);
    std::fill_n(bytes_ + count, kBlock, '\0');
    return PaddedBytes(bytes_, bytes_ + count);
  }

 private:
  // Left unset: a read fills what is used, and Filled the padding after it.
  char bytes_[Capacity + kBlock];
};

}  // namespace linesearch
