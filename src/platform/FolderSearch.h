#pragma once
// Walking the entries of a folder in the order the file system gives them
// (FindFirstFileA / FindNextFileA / FindClose on Windows, readdir and stat on POSIX).

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

inline constexpr std::uint32_t kAttributeReadOnly = 0x1;
inline constexpr std::uint32_t kAttributeHidden = 0x2;
inline constexpr std::uint32_t kAttributeSystem = 0x4;
inline constexpr std::uint32_t kAttributeDirectory = 0x10;
inline constexpr std::uint32_t kAttributeArchive = 0x20;

// One entry as the search reports it. File times are UTC, 100 ns ticks since 1601-01-01.
struct FolderEntry {
  std::string name;
  std::uint32_t attributes = 0;
  std::uint64_t creationTime = 0, lastAccessTime = 0, lastWriteTime = 0;
  std::uint32_t sizeHigh = 0, sizeLow = 0;
};

class FolderSearch {
 public:
  // `pattern` is a folder path followed by "*" (anything before the "*" after the last
  // separator is a name prefix). A pattern that cannot be searched (a missing folder, one
  // that cannot be opened, nothing matches) yields no entries.
  explicit FolderSearch(const std::string& pattern);
  ~FolderSearch();
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;

  // The next entry, "." and ".." included where the platform reports them; false at the end.
  // A search that fails once it was open (readdir failing, or the status of an entry that
  // is still there; FindNextFileA failing with anything but ERROR_NO_MORE_FILES) raises
  // Exception "Cannot list folder <folder>: <call> failed: <reason>": ending there as at the
  // end would pass a shorter list for the folder.
  bool Next(FolderEntry& entry);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace platform
