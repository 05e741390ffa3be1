#include "fakes/FileFaults.h"

#ifdef _WIN32
#include "platform/win32/FileCalls.h"
#else
#include <fcntl.h>

#include <cerrno>
#include <string>

#include "platform/posix/FileCalls.h"
#endif

#include <string_view>
#include <vector>

namespace {

// One fault at a time: the swapped-in calls are plain functions and find it here.
int callsMade = 0;
int failingCall = 0;

bool ThisCallFails() { return ++callsMade == failingCall; }

#ifdef _WIN32
using platform::RealFileCalls;

BOOL WINAPI Fail() {
  SetLastError(ERROR_CRC);  // "Data error (cyclic redundancy check)": a failing disk
  return FALSE;
}
BOOL WINAPI FaultyReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD got, LPOVERLAPPED overlapped) {
  if (ThisCallFails()) return Fail();
  return RealFileCalls().readFile(file, buffer, size, got, overlapped);
}
BOOL WINAPI FaultyWriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD put, LPOVERLAPPED overlapped) {
  if (ThisCallFails()) return Fail();
  return RealFileCalls().writeFile(file, buffer, size, put, overlapped);
}
BOOL WINAPI FaultyFlushFileBuffers(HANDLE file) {
  if (ThisCallFails()) return Fail();
  return RealFileCalls().flushFileBuffers(file);
}
BOOL WINAPI FaultyMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
  if (ThisCallFails()) return Fail();
  return RealFileCalls().moveFileEx(from, to, flags);
}

BOOL WINAPI FaultyFindNextFile(HANDLE search, LPWIN32_FIND_DATAA data) {
  if (ThisCallFails()) return Fail();
  return platform::RealFolderSearchCalls().findNextFile(search, data);
}

void Swap(FileFaults::Call call) {
  platform::FileCalls& calls = platform::SystemFileCalls();
  switch (call) {
    case FileFaults::Call::Read: calls.readFile = FaultyReadFile; break;
    case FileFaults::Call::Write: calls.writeFile = FaultyWriteFile; break;
    case FileFaults::Call::Flush: calls.flushFileBuffers = FaultyFlushFileBuffers; break;
    case FileFaults::Call::Rename: calls.moveFileEx = FaultyMoveFileEx; break;
    case FileFaults::Call::NextEntry:
      platform::SystemFolderSearchCalls().findNextFile = FaultyFindNextFile;
      break;
    case FileFaults::Call::EntryStatus: break;
  }
}
#else
using platform::RealFileCalls;

ssize_t FaultyRead(int fd, void* buffer, size_t size) {
  if (ThisCallFails()) return errno = EIO, -1;
  return RealFileCalls().read(fd, buffer, size);
}
ssize_t FaultyWrite(int fd, const void* buffer, size_t size) {
  if (ThisCallFails()) return errno = ENOSPC, -1;
  return RealFileCalls().write(fd, buffer, size);
}
int FaultyFsync(int fd) {
  if (ThisCallFails()) return errno = EIO, -1;
  return RealFileCalls().fsync(fd);
}
int FaultyRename(const char* from, const char* to) {
  if (ThisCallFails()) return errno = EIO, -1;
  return RealFileCalls().rename(from, to);
}

dirent* FaultyReaddir(DIR* dir) {
  if (ThisCallFails()) return errno = EIO, nullptr;
  return platform::RealFolderSearchCalls().readdir(dir);
}

// The status of one entry is asked at most twice: following a link, then of the link itself.
// The failing entry fails both.
std::string failedPath;
#ifdef STATX_BTIME
int FaultyStatx(int folder, const char* path, int flags, unsigned int mask, struct statx* status) {
  const bool retry = (flags & AT_SYMLINK_NOFOLLOW) != 0;
  if ((!retry && ThisCallFails()) || (retry && !failedPath.empty() && failedPath == path)) {
    failedPath = path;
    return errno = EIO, -1;
  }
  return platform::RealFolderSearchCalls().statx(folder, path, flags, mask, status);
}
#endif

void Swap(FileFaults::Call call) {
  platform::FileCalls& calls = platform::SystemFileCalls();
  failedPath.clear();
  switch (call) {
    case FileFaults::Call::Read: calls.read = FaultyRead; break;
    case FileFaults::Call::Write: calls.write = FaultyWrite; break;
    case FileFaults::Call::Flush: calls.fsync = FaultyFsync; break;
    case FileFaults::Call::Rename: calls.rename = FaultyRename; break;
    case FileFaults::Call::NextEntry: platform::SystemFolderSearchCalls().readdir = FaultyReaddir; break;
    case FileFaults::Call::EntryStatus:
#ifdef STATX_BTIME
      platform::SystemFolderSearchCalls().statx = FaultyStatx;
#endif
      break;
  }
}
#endif

// The folders that refuse new files, and whether `path` is a file directly in one of them.
std::vector<std::string> refusedFolders;

bool InRefusedFolder(const char* path) {
  const std::string_view file(path);
  for (const std::string& folder : refusedFolders) {
    if (!file.starts_with(folder)) continue;
    const std::string_view name = file.substr(folder.size());
    if (name.find_first_of("\\/") == std::string_view::npos) return true;
  }
  return false;
}

#ifdef _WIN32
HANDLE WINAPI RefusingCreateFile(LPCSTR path, DWORD access, DWORD share,
                                 LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                 HANDLE templateFile) {
  if (disposition != OPEN_EXISTING && InRefusedFolder(path)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  return RealFileCalls().createFile(path, access, share, security, disposition, flags,
                                    templateFile);
}
void SwapInRefusal() { platform::SystemFileCalls().createFile = RefusingCreateFile; }
#else
int RefusingOpen(const char* path, int flags, mode_t mode) {
  if ((flags & O_CREAT) != 0 && InRefusedFolder(path)) return errno = EACCES, -1;
  return RealFileCalls().open(path, flags, mode);
}
void SwapInRefusal() { platform::SystemFileCalls().open = RefusingOpen; }
#endif

}  // namespace

RefusedFolder::RefusedFolder(std::string folder) {
  refusedFolders.push_back(std::move(folder));
  SwapInRefusal();
}

RefusedFolder::~RefusedFolder() {
  refusedFolders.pop_back();
  if (refusedFolders.empty()) platform::SystemFileCalls() = RealFileCalls();
}

FileFaults::FileFaults(Call call, int failing) {
  callsMade = 0;
  failingCall = failing;
  Swap(call);
}

FileFaults::~FileFaults() {
  platform::SystemFileCalls() = RealFileCalls();
  platform::SystemFolderSearchCalls() = platform::RealFolderSearchCalls();
}

int FileFaults::Calls() const { return callsMade; }
