#include "platform/FolderSearch.h"

#include <windows.h>

namespace platform {

namespace {

std::uint64_t Ticks(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

}  // namespace

// FindFirstFileA already returns the first entry, so it waits here until Next asks.
struct FolderSearch::State {
  HANDLE handle = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA data{};
  bool pending = false;
};

FolderSearch::FolderSearch(const std::string& pattern) : state_(std::make_unique<State>()) {
  state_->handle = FindFirstFileA(pattern.c_str(), &state_->data);
  state_->pending = state_->handle != INVALID_HANDLE_VALUE;
}

FolderSearch::~FolderSearch() {
  if (state_->handle != INVALID_HANDLE_VALUE) FindClose(state_->handle);
}

bool FolderSearch::Next(FolderEntry& entry) {
  if (state_->handle == INVALID_HANDLE_VALUE) return false;
  if (!state_->pending && !FindNextFileA(state_->handle, &state_->data)) {
    // End of the search (or a failure, which ends it the same way).
    FindClose(state_->handle);
    state_->handle = INVALID_HANDLE_VALUE;
    return false;
  }
  state_->pending = false;
  const WIN32_FIND_DATAA& d = state_->data;
  entry.name = d.cFileName;
  entry.attributes = d.dwFileAttributes;
  entry.creationTime = Ticks(d.ftCreationTime);
  entry.lastAccessTime = Ticks(d.ftLastAccessTime);
  entry.lastWriteTime = Ticks(d.ftLastWriteTime);
  entry.sizeHigh = d.nFileSizeHigh;
  entry.sizeLow = d.nFileSizeLow;
  return true;
}

}  // namespace platform
