#pragma once
// The system calls of the POSIX file backend, reached through one table so that a test can
// put a failing call in place of a real one ("the second read fails with EIO", "the disk is
// full now") and put the real one back afterwards. The backend never calls them directly.

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace platform {

struct FileCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  int (*fstat)(int fd, struct stat* status);
  ssize_t (*read)(int fd, void* buffer, size_t size);
  ssize_t (*write)(int fd, const void* buffer, size_t size);
  int (*fsync)(int fd);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to);
  int (*unlink)(const char* path);
};

// The table in use; starts out holding the real calls.
FileCalls& SystemFileCalls();
// The real calls, for putting them back.
const FileCalls& RealFileCalls();

// The calls of the folder search, in a table of their own in the same way.
struct FolderSearchCalls {
  DIR* (*opendir)(const char* path);
  dirent* (*readdir)(DIR* dir);
  int (*closedir)(DIR* dir);
#ifdef STATX_BTIME
  // The status of each entry found.
  int (*statx)(int folder, const char* path, int flags, unsigned int mask, struct statx* status);
#endif
};

FolderSearchCalls& SystemFolderSearchCalls();
const FolderSearchCalls& RealFolderSearchCalls();

}  // namespace platform
