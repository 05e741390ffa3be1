// Named mutexes as advisory locks: whoever holds flock(LOCK_EX) on "<name>.lock" in the
// runtime folder holds the mutex. The lock file is never removed: removing it would let two
// processes lock two different files of the same name.

#include "platform/NamedMutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/RuntimePaths.h"

namespace platform {

namespace {

std::string LockPath(const std::string& name) {
  std::string file = name;
  for (char& c : file)
    if (c == '/') c = '_';
  return RuntimeFolder() + "/" + file + ".lock";
}

// Opens the lock file, creating it when missing. Close-on-exec, so that programs the
// scheduler starts never hold its locks; no symbolic links, as /tmp is shared.
int OpenLockFile(const std::string& path) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    // Opening an existing file first: in a sticky shared folder, O_CREAT on a file of
    // another user may be refused although plain opening is allowed.
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd >= 0 || errno != ENOENT) return fd;
    fd = open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

NamedMutex::NamedMutex(const std::string& name) {
  const int fd = OpenLockFile(LockPath(name));
  if (fd < 0) return;  // could not be created: not "already existed"
  handle_ = fd;
  int result;
  do result = flock(fd, LOCK_EX | LOCK_NB);
  while (result != 0 && errno == EINTR);
  alreadyExisted_ = result != 0 && errno == EWOULDBLOCK;
}

NamedMutex::~NamedMutex() {
  if (handle_ != -1) close(static_cast<int>(handle_));
}

}  // namespace platform
