#include "lister/ListedJobs.h"

#include <algorithm>

#include "app/DueRule.h"

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

std::vector<std::vector<std::size_t>> EarlierSharers(const std::vector<ListedJob>& jobs,
                                                     const std::vector<std::string>& foldedKeys) {
  // Jobs by store entry first, in list order within each entry: most commands are one job's
  // alone.
  std::vector<std::size_t> byEntry;
  byEntry.reserve(jobs.size());
  for (std::size_t i = 0; i < jobs.size(); ++i)
    if (!jobs[i].AlwaysFails()) byEntry.push_back(i);
  std::stable_sort(byEntry.begin(), byEntry.end(), [&](std::size_t a, std::size_t b) {
    return foldedKeys[a] < foldedKeys[b];
  });
  std::vector<std::vector<std::size_t>> sharers(jobs.size());
  for (std::size_t first = 0, end; first < byEntry.size(); first = end) {
    end = first + 1;
    while (end < byEntry.size() && foldedKeys[byEntry[end]] == foldedKeys[byEntry[first]]) ++end;
    for (std::size_t a = first + 1; a < end; ++a)
      for (std::size_t b = first; b < a; ++b) {  // earlier in the list
        const ListedJob& job = jobs[byEntry[a]];
        const ListedJob& other = jobs[byEntry[b]];
        if (!(other.t < job.t) && other.t < job.t + ScheduleWindow())
          sharers[byEntry[a]].push_back(byEntry[b]);
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
