#include "fakes/FileFaults.h"

#ifdef _WIN32
#include "platform/win32/FileCalls.h"
#else
#include <fcntl.h>

#include <cerrno>
#include <string>

#include "platform/posix/FileCalls.h"
#endif

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

}  // namespace

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
