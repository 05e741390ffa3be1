// Named mutexes as advisory locks: whoever holds flock(LOCK_EX) on "<name>.lock" in the
// runtime folder holds the mutex. The lock file is never removed: removing it would let two
// processes lock two different files of the same name.

#include "platform/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/posix/RuntimePaths.h"

namespace platform {

namespace {

// The lock file's path; nothing when there is no private folder to put it in.
std::optional<std::string> LockPath(const std::string& name) {
  const std::optional<std::string> folder = LockFolder();
  if (!folder) return std::nullopt;
  return LockFilePath(*folder, name);
}

// Opens the lock file, creating it when missing, for this user alone. Close-on-exec, so
// that programs the scheduler starts never hold its locks; no symbolic links.
int OpenLockFile(const std::string& path) {
  return open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
}

}  // namespace

// A mutex that cannot be created, for want of a private lock folder too, has not "already
// existed": as on Windows, the scheduler then runs. Refusing to run instead would hand
// whoever occupies "/tmp/harbovale-<uid>" a way to keep the scheduler from ever starting.
NamedMutex::NamedMutex(const std::string& name) {
  const std::optional<std::string> path = LockPath(name);
  if (!path) return;
  const int fd = OpenLockFile(*path);
  if (fd < 0) return;
  handle_ = fd;
  int result;
  do result = flock(fd, LOCK_EX | LOCK_NB);
  while (result != 0 && errno == EINTR);
  alreadyExisted_ = result != 0 && errno == EWOULDBLOCK;
}

NamedMutex::~NamedMutex() {
  // Closing releases the lock; the descriptor is gone even when close reports an error.
  if (handle_ != -1) close(static_cast<int>(handle_));
}

}  // namespace platform
