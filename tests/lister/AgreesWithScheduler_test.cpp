// The lister foretells starts; the scheduler makes them. Here the real schedule check runs
// tick by tick, once a second, over days of a fake clock, and every start it makes must be
// one the lister foretold at the beginning, and every start foretold within that time one
// that it made.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "Installation.h"
#include "app/JobDiscovery.h"
#include "app/LastRunKey.h"
#include "app/SchedContext.h"
#include "app/ScheduleCheck.h"
#include "fakes/FakeAutostart.h"
#include "fakes/FakeLauncher.h"
#include "fakes/FakeMutexProbe.h"
#include "fakes/FakeShell.h"
#include "lister/Moments.h"
#include "lister/ReportText.h"
#include "platform/Files.h"

namespace {

// Command line -> the store texts of its starts, in order.
using Starts = std::map<std::string, std::vector<std::string>>;

// Runs the scheduler of `installation` from the clock's moment, one tick a second for
// `seconds`, as its timer would: a tick that fails ends there, and the next starts afresh.
Starts RunScheduler(const Installation& installation, FakeClock& clock, int seconds) {
  SchedState state = InitializeSched_main(installation.exePath);
  if (platform::FileExists(state.StorePath())) state.LastRunStore.LoadLines(state.StorePath());
  FakeShell shell;
  FakeMutexProbe mutexes;
  FakeLauncher launcher;
  FakeAutostart autostart;
  SchedContext context{state, shell, clock, mutexes, launcher, autostart, installation.exePath};
  Starts starts;
  for (int tick = 0; tick < seconds; ++tick) {
    const std::size_t before = launcher.started.size();
    try {
      DiscoverJobs(context);
      CheckSchedule(context);
    } catch (...) {
    }
    for (std::size_t i = before; i < launcher.started.size(); ++i) {
      const std::string& cmd = launcher.started[i];
      starts[cmd].push_back(state.LastRunStore.ValueOf(LastRunKey(cmd)));
    }
    clock.AdvanceSeconds(1);
  }
  return starts;
}

// The starts the lister foretells at the clock's moment that fall before `seconds` have
// passed, by command line.
Starts Foretold(const Installation& installation, const FakeClock& clock, int seconds) {
  const Survey survey = installation.Look(clock, 40);
  const DateTimeValue end = survey.today + survey.nowOfDay + (seconds - 1) / 86'400.0;
  Starts starts;
  for (const SurveyRow& row : survey.rows)
    for (const DateTimeValue next : row.next)
      if (next < end) starts[row.schedule->cmd].push_back(MomentText(next));
  return starts;
}

struct Scenario {
  const char* label;
  std::vector<std::pair<std::string, std::string>> jobs;  // file, schedule line
  std::string store;
  int year, month, day, hour, minute, second;
  int seconds;
};

TEST(ListerAgreesWithScheduler, EveryStartForetoldIsMadeAndNoOther) {
  const Scenario scenarios[] = {
      {"a weekend with a job whose five flags fail on it, before and after others",
       {{"a.hvj", Scheduled("11111", "10:00:00", "weekdays.cmd")},
        {"b.hvj", Scheduled("1111111", "11:00:00", "daily.cmd")},
        {"c.hvj", Scheduled(std::string(11, '0') + "101", "08:00:00", "monthly.cmd")},
        {"d.hvj", Scheduled("0000011", "09:00:00", "weekend.cmd")}},
       "",
       2026, 12, 11, 9, 0, 0,  // a Friday, until Monday noon
       3 * 86'400 + 3 * 3'600},
      {"one command, several jobs and times",
       {{"a.hvj", Scheduled("1111111", "14:30:00", "same.cmd")},
        {"b.hvj", Scheduled("1111111", "14:30:00", "same.cmd")},
        {"c.hvj", Scheduled("1111111", "14:31:00", "SAME.cmd")},
        {"d.hvj", Scheduled("1111111", "14:29:00", "same.cmd")}},
       "",
       2026, 12, 9, 14, 30, 30,  // inside every window but the last
       86'400},
      {"a store holding today's start, a missed job and one late at night",
       {{"a.hvj", Scheduled("1111111", "14:30:00", "recorded.cmd")},
        {"b.hvj", Scheduled("1111111", "14:00:00", "missed.cmd")},
        {"c.hvj", Scheduled("1111111", "23:58:00", "night.cmd")},
        {"d.hvj", Scheduled("1111111", "14:31:00", "due.cmd")}},
       "recorded.cmd=12/9/2026 2:30:00 PM\r\n",
       2026, 12, 9, 14, 32, 0,
       86'400},
      {"a job whose time cannot be read stops every tick",
       {{"a.hvj", Scheduled("1111111", "14:40:00", "first.cmd")},
        {"b.hvj", Scheduled("1111111", "half past two", "broken.cmd")},
        {"c.hvj", Scheduled("1111111", "14:45:00", "last.cmd")}},
       "",
       2026, 12, 9, 14, 30, 0,
       86'400},
      {"the end of February in a leap year",
       {{"a.hvj", Scheduled(std::string(28, '0') + "111", "06:00:00", "late-month.cmd")},
        {"b.hvj", Scheduled(std::string(29, '1'), "07:00:00", "short-month.cmd")},
        {"c.hvj", Scheduled("1111111", "08:00:00", "after.cmd")}},
       "",
       2028, 2, 28, 5, 0, 0,  // until March 2nd
       3 * 86'400},
  };
  for (const Scenario& s : scenarios) {
    const Installation installation;
    for (const auto& [file, schedule] : s.jobs) installation.Job(file, schedule);
    if (!s.store.empty()) installation.Store(s.store);
    FakeClock clock(s.year, s.month, s.day, s.hour, s.minute, s.second, 500);
    Starts foretold = Foretold(installation, clock, s.seconds);
    Starts made = RunScheduler(installation, clock, s.seconds);
    // Jobs of one command start in time order; the lister lists them job by job.
    for (auto& [cmd, texts] : foretold) std::sort(texts.begin(), texts.end());
    for (auto& [cmd, texts] : made) std::sort(texts.begin(), texts.end());
    EXPECT_EQ(foretold, made) << s.label;
    EXPECT_FALSE(made.empty()) << s.label;
  }
}

}  // namespace
