#include "lister/ListedJobs.h"

#include <string_view>
#include <unordered_map>

#include "app/DueRule.h"

TickFailures::TickFailures(const std::vector<JobLine>& jobs)
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

std::vector<std::vector<std::size_t>> EarlierSharers(const std::vector<JobLine>& jobs,
                                                     const std::vector<std::string>& foldedKeys) {
  // Jobs by store entry first: most commands are one job's alone. Each job is linked to the
  // next job of its entry in the list.
  std::unordered_map<std::string_view, std::size_t> lastOfEntry;
  lastOfEntry.reserve(jobs.size());
  std::vector<std::size_t> firstOfEntry;  // the first job of each entry, in list order
  std::vector<std::size_t> nextOfEntry(jobs.size(), jobs.size());
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    if (jobs[i].AlwaysFails()) continue;
    const auto [last, added] = lastOfEntry.try_emplace(foldedKeys[i], i);
    if (added) {
      firstOfEntry.push_back(i);
    } else {
      nextOfEntry[last->second] = i;
      last->second = i;
    }
  }
  std::vector<std::vector<std::size_t>> sharers(jobs.size());
  for (const std::size_t first : firstOfEntry)
    for (std::size_t a = nextOfEntry[first]; a < jobs.size(); a = nextOfEntry[a])
      for (std::size_t b = first; b != a; b = nextOfEntry[b]) {  // earlier in the list
        const JobLine& job = jobs[a];
        const JobLine& other = jobs[b];
        if (!(other.t < job.t) && other.t < job.t + ScheduleWindow()) sharers[a].push_back(b);
      }
  return sharers;
}

bool CoveredBySharer(const std::vector<JobLine>& jobs, const std::vector<std::size_t>& sharers,
                     DateTimeValue day, DateTimeValue tick, DateTimeValue lastRun) {
  for (const std::size_t j : sharers) {
    const JobLine& other = jobs[j];
    if (IsDue(IsOnDay(other.days, day), day, tick, other.t, lastRun)) return true;
  }
  return false;
}
