#pragma once
// Whether a named mutex is held right now, found out without creating it and without taking
// it, so that a program that only looks never makes a starting scheduler believe that it is
// the second instance. On Windows the existing mutex is opened (OpenMutexA, never
// CreateMutexA) and closed at once; on POSIX the lock file is looked up in the kernel's table
// of locks (/proc/locks) and is neither created, opened nor locked.

#include <string>

namespace platform {

enum class MutexPresence { Held, Absent, Unknown };

MutexPresence LookForNamedMutex(const std::string& name);

}  // namespace platform
