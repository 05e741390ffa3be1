#pragma once
// One look at an installation folder, as every view shows it: what the scheduler makes of the
// job folder, and whether the scheduler runs and starts at log-on. Taken together, so that no
// view shows the one without the other.

#include <string>

#include "lister/SchedulerPresence.h"
#include "lister/Survey.h"
#include "platform/Clock.h"

struct Look {
  Survey survey;
  SchedulerPresence presence;
};

// The look at `exeDir` at the clock's moment, with `iterations` next starts per job.
Look TakeLook(const std::string& exeDir, const platform::Clock& clock, int iterations);
