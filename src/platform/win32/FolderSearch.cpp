#include "platform/FolderSearch.h"

#include <windows.h>

#include "foundation/Exception.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/Win32Error.h"

namespace platform {

namespace {

constexpr FolderSearchCalls kRealFolderSearchCalls{FindFirstFileA, FindNextFileA, FindClose};
FolderSearchCalls folderSearchCalls = kRealFolderSearchCalls;

std::uint64_t Ticks(const FILETIME& t) {
  return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// The folder part of a search pattern: up to its last separator, or the drive's colon.
std::string FolderOf(const std::string& pattern) {
  const auto end = pattern.find_last_of("\\/:");
  return end == std::string::npos ? "." : pattern.substr(0, end + 1);
}

}  // namespace

FolderSearchCalls& SystemFolderSearchCalls() { return folderSearchCalls; }
const FolderSearchCalls& RealFolderSearchCalls() { return kRealFolderSearchCalls; }

// FindFirstFileA already returns the first entry, so it waits here until Next asks.
struct FolderSearch::State {
  HANDLE handle = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA data{};
  bool pending = false;
  std::string pattern;
};

FolderSearch::FolderSearch(const std::string& pattern) : state_(std::make_unique<State>()) {
  state_->pattern = pattern;
  state_->handle = folderSearchCalls.findFirstFile(pattern.c_str(), &state_->data);
  state_->pending = state_->handle != INVALID_HANDLE_VALUE;
}

FolderSearch::~FolderSearch() {
  if (state_->handle != INVALID_HANDLE_VALUE) folderSearchCalls.findClose(state_->handle);
}

bool FolderSearch::Next(FolderEntry& entry) {
  if (state_->handle == INVALID_HANDLE_VALUE) return false;
  if (!state_->pending && !folderSearchCalls.findNextFile(state_->handle, &state_->data)) {
    const DWORD error = GetLastError();
    folderSearchCalls.findClose(state_->handle);
    state_->handle = INVALID_HANDLE_VALUE;
    if (error == ERROR_NO_MORE_FILES) return false;
    throw Exception("Cannot list folder " + FolderOf(state_->pattern) + ": " +
                    Win32ErrorText("FindNextFileA", error));
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
