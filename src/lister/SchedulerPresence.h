#pragma once
// Whether the scheduler runs now and whether it is registered to start at log-on, looked
// at without touching either: the single-instance mutex is looked for, never created, and
// the registration is read, never written.

#include <optional>
#include <string>

#include "platform/MutexLookup.h"

struct SchedulerPresence {
  std::string schedulerPath;  // the scheduler of the folder looked at
  platform::MutexPresence running = platform::MutexPresence::Unknown;
  std::optional<std::string> registration;  // what the registration holds; nothing: none
  bool registeredHere = false;  // the registration starts the scheduler of that folder
};

// `exeDir`: the installation folder with its trailing separator; `schedulerFileName`: the
// scheduler's executable there.
SchedulerPresence LookForScheduler(const std::string& exeDir, const std::string& schedulerFileName);
