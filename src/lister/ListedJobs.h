#pragma once
// The jobs of the scheduler's job list as one tick of its schedule check reads them, and on
// which days a tick fails at which of them: an error at a job ends the tick, so the jobs
// after it in the list do not start on that day.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/JobReadings.h"
#include "foundation/DateTimeValue.h"

class TickFailures {
 public:
  explicit TickFailures(const std::vector<JobLine>& jobs);

  // Index of the job at which every tick of `day` ends; the number of jobs when the ticks of
  // that day get through the whole list.
  std::size_t FirstFailing(DateTimeValue day);
  // Index of the first job that fails whatever the day; the number of jobs when none does.
  std::size_t AlwaysFailing() const { return alwaysFailing_; }

 private:
  const std::vector<JobLine>& jobs_;
  std::size_t alwaysFailing_;  // the first job that fails whatever the day
  std::map<DateTimeValue, std::size_t> byDay_;
};

// For each job k, the earlier jobs of the list that share its store entry and whose time
// lies at or after its own, less than a window later: in a tick that finds both due, such a
// job starts first and records a start that leaves job k nothing to do. (Commands that differ
// in letter case only share one store entry: `foldedKeys` holds each job's key through
// platform::CaseFoldKey.)
std::vector<std::vector<std::size_t>> EarlierSharers(const std::vector<JobLine>& jobs,
                                                     const std::vector<std::string>& foldedKeys);

// Whether one of `sharers` of a job with time `t` and last run `lastRun` is due at `tick` of
// `day` (every one of them reached on that day).
bool CoveredBySharer(const std::vector<JobLine>& jobs, const std::vector<std::size_t>& sharers,
                     DateTimeValue day, DateTimeValue tick, DateTimeValue lastRun);
