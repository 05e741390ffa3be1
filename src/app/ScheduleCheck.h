#pragma once
// Second half of every tick: starts each listed job that is due, once per scheduled day,
// recording the start in the last-run store before it.

#include "app/SchedContext.h"

void CheckSchedule(SchedContext& context);
