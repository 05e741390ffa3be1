#include "lister/ListedJobs.h"

#include <algorithm>

#include "app/DueRule.h"
#include "platform/TextCompare.h"

std::optional<std::string> ListedJob::ErrorOn(DateTimeValue day) const {
  if (decodeError) return decodeError;
  if (!HasFlagFor(days, day)) return std::string("Range check error");
  if (timeError) return timeError;
  return storeError;
}

TickFailures::TickFailures(const std::vector<ListedJob>& jobs)
    : jobs_(jobs), alwaysFailing_(jobs.size()) {
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    if (jobs[i].AlwaysFails()) {
      alwaysFailing_ = i;
      break;
    }
  }
}

std::size_t TickFailures::FirstFailing(DateTimeValue day) {
  const auto known = byDay_.find(day);
  if (known != byDay_.end()) return known->second;
  std::size_t first = alwaysFailing_;
  for (std::size_t i = 0; i < alwaysFailing_; ++i) {
    if (!HasFlagFor(jobs_[i].days, day)) {
      first = i;
      break;
    }
  }
  byDay_.emplace(day, first);
  return first;
}

std::vector<std::vector<std::size_t>> EarlierSharers(const std::vector<ListedJob>& jobs) {
  std::vector<std::size_t> byTime;
  for (std::size_t i = 0; i < jobs.size(); ++i)
    if (!jobs[i].AlwaysFails()) byTime.push_back(i);
  std::stable_sort(byTime.begin(), byTime.end(),
                   [&](std::size_t a, std::size_t b) { return jobs[a].t < jobs[b].t; });
  std::vector<std::vector<std::size_t>> sharers(jobs.size());
  for (std::size_t a = 0; a < byTime.size(); ++a) {
    const ListedJob& job = jobs[byTime[a]];
    for (std::size_t b = a + 1; b < byTime.size(); ++b) {
      const std::size_t other = byTime[b];
      if (!(jobs[other].t < job.t + ScheduleWindow())) break;
      if (other < byTime[a] && platform::SameTextIgnoringCase(jobs[other].key, job.key))
        sharers[byTime[a]].push_back(other);
    }
    // Jobs of the same time stand before `a` in time order too.
    for (std::size_t b = a; b-- > 0 && jobs[byTime[b]].t == job.t;) {
      const std::size_t other = byTime[b];
      if (other < byTime[a] && platform::SameTextIgnoringCase(jobs[other].key, job.key))
        sharers[byTime[a]].push_back(other);
    }
  }
  return sharers;
}

bool CoveredBySharer(const std::vector<ListedJob>& jobs, const std::vector<std::size_t>& sharers,
                     DateTimeValue day, DateTimeValue tick, DateTimeValue lastRun) {
  for (const std::size_t j : sharers) {
    const ListedJob& other = jobs[j];
    if (IsDue(IsOnDay(other.days, day), day, tick, other.t, lastRun)) return true;
  }
  return false;
}
