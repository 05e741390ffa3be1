#pragma once
// Named mutexes: the only coordination between the scheduler, a second copy of itself and
// the backup application. On Windows a kernel mutex; on POSIX an advisory lock (flock) on
// "<name>.lock" in $XDG_RUNTIME_DIR (or the user's private "/tmp/harbovale-<uid>"), where
// "already exists" means that another process holds the lock.

#include <cstdint>
#include <string>

namespace platform {

// Creates the named mutex asking for initial ownership and holds it until destroyed.
class NamedMutex {
 public:
  explicit NamedMutex(const std::string& name);
  ~NamedMutex();
  NamedMutex(const NamedMutex&) = delete;
  NamedMutex& operator=(const NamedMutex&) = delete;

  // True only when the system said the mutex already existed (ERROR_ALREADY_EXISTS);
  // false when this call made it, and also when it could not be created at all.
  bool AlreadyExisted() const { return alreadyExisted_; }

 private:
  std::intptr_t handle_ = -1;  // HANDLE on Windows, file descriptor on POSIX
  bool alreadyExisted_ = false;
};

// Whether another process holds a named mutex, asked the way the scheduler probes the
// backup application: create it, look at the outcome, close it at once.
class MutexProbe {
 public:
  virtual ~MutexProbe() = default;
  virtual bool IsHeldElsewhere(const std::string& name) = 0;
};

MutexProbe& SystemMutexProbe();

}  // namespace platform
