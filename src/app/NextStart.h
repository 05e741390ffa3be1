#pragma once
// When the scheduler will next start a listed job, foretold by the due rule that its
// schedule check starts jobs by (DueRule): the NEXT of the companion lister.

#include <functional>
#include <string>
#include <vector>

#include "foundation/DateTimeValue.h"

// How far ahead starts are looked for. Without failing jobs every flag comes round within
// two months; days that failing jobs block can push a start out by months.
inline constexpr int kNextStartHorizonDays = 8 * 366;

// Whether the schedule check at the time of day `tick` of `day` may start the job: no job
// before it in the job list fails on that day, none of its own readings does, and no job
// before it has just recorded a start in the same store entry that covers this one.
using ReachesJob = std::function<bool(DateTimeValue day, DateTimeValue tick)>;

// The next `count` starts of a job with the flags `days`, the time of day `t` and the last
// run `lastRun`, from the moment `today` + `nowOfDay` on, each as the moment that the store
// records for it (day + t), earliest first; fewer when there are fewer within
// kNextStartHorizonDays. The scheduler is taken to tick every second: on each day the job
// starts at the first tick after t that finds it due (today, when its window is open
// already, the next tick). `reaches` must be false on the days for which `days` holds no
// flag (IsOnDay raises on those).
std::vector<DateTimeValue> NextStarts(const std::string& days, DateTimeValue t,
                                      DateTimeValue lastRun, DateTimeValue today,
                                      DateTimeValue nowOfDay, int count,
                                      const ReachesJob& reaches);
