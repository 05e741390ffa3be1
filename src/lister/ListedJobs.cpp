#include "lister/ListedJobs.h"

#include <unordered_map>

#include "app/DueRule.h"
#include "platform/TextCompare.h"

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
  // Jobs by store entry first: most commands are one job's alone.
  std::unordered_map<std::string, std::vector<std::size_t>> byEntry;
  for (std::size_t i = 0; i < jobs.size(); ++i)
    if (!jobs[i].AlwaysFails()) byEntry[platform::CaseFoldKey(jobs[i].key)].push_back(i);
  std::vector<std::vector<std::size_t>> sharers(jobs.size());
  for (const auto& [entry, group] : byEntry) {
    for (std::size_t a = 0; a < group.size(); ++a)
      for (std::size_t b = 0; b < a; ++b) {  // earlier in the list
        const ListedJob& job = jobs[group[a]];
        const ListedJob& other = jobs[group[b]];
        if (!(other.t < job.t) && other.t < job.t + ScheduleWindow())
          sharers[group[a]].push_back(group[b]);
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
