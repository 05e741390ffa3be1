#pragma once
// First half of every tick: follows the backup application's mutex, rebuilds JobList from
// the job files when needed, and ends the program when a rebuild finds nothing scheduled.

#include "app/SchedContext.h"

void DiscoverJobs(SchedContext& context);
