// The lister against the scheduler's own rebuild of the same folder of 1,000 job files: the
// lister reads what the rebuild reads (the listing and every job file), and also the store,
// each job's readings, its next start and the table. Each run builds its state afresh, as
// each run of the lister does.

#include <benchmark/benchmark.h>

#include <string>

#include "JobFolder.h"
#include "app/JobDiscovery.h"
#include "app/SchedContext.h"
#include "app/ScheduleCheck.h"
#include "app/Sched_main.h"
#include "fakes/FakeAutostart.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLauncher.h"
#include "fakes/FakeMutexProbe.h"
#include "fakes/FakeShell.h"
#include "foundation/DateTimeFormat.h"
#include "lister/Outputs.h"
#include "lister/SchedulerPresence.h"
#include "lister/Survey.h"

namespace {

constexpr int kJobFiles = 1000;

void UsSettings() {
  DateTimeFormat = DateTimeFormatSettings{};
  DateTimeFormat.shortDatePicture = "M/d/yyyy";
  DateTimeFormat.amText = "AM";
  DateTimeFormat.pmText = "PM";
}

// A store as it stands after a day of starts: one line per job.
void WriteStore(const TempFolder& folder, int jobs) {
  std::string store;
  for (int i = 0; i < jobs; ++i) {
    const int hour = 8 + i % 12;
    store += "C:\\Tools\\backup.exe /job " + std::to_string(i) + "=12/8/2026 " +
             std::to_string(hour > 12 ? hour - 12 : hour) + ":15:00 " + (hour < 12 ? "AM" : "PM") +
             "\r\n";
  }
  folder.Write("qelvarn.dat", store);
}

// The scheduler's first tick rebuilding its job list from a fresh state.
void ListerVsRebuild_SchedulerRebuild(benchmark::State& state) {
  const auto folder = JobFolder(kJobFiles);
  UsSettings();
  FakeShell shell;
  FakeClock clock(2026, 12, 9, 3, 0, 0);
  FakeMutexProbe mutexes;
  FakeLauncher launcher;
  FakeAutostart autostart;
  int listed = 0;
  for (auto _ : state) {
    SchedState sched = InitializeSched_main(folder->PathOf("HarbovaleScheduler.exe"));
    SchedContext context{sched, shell, clock, mutexes, launcher, autostart, ""};
    DiscoverJobs(context);
    listed = sched.JobList.LineCount();
  }
  if (listed != kJobFiles) state.SkipWithError("not every job was listed");
}
BENCHMARK(ListerVsRebuild_SchedulerRebuild)->Unit(benchmark::kMillisecond);

// For the store's part: the scheduler's whole first tick, the rebuild and then the schedule
// check, which reads every job's time and looks its command up in the store.
void ListerVsRebuild_SchedulerFirstTickWithStore(benchmark::State& state) {
  const auto folder = JobFolder(kJobFiles);
  WriteStore(*folder, kJobFiles);
  UsSettings();
  FakeShell shell;
  FakeClock clock(2026, 12, 9, 3, 0, 0);
  FakeMutexProbe mutexes;
  FakeLauncher launcher;
  FakeAutostart autostart;
  for (auto _ : state) {
    SchedState sched = InitializeSched_main(folder->PathOf("HarbovaleScheduler.exe"));
    sched.LastRunStore.LoadLines(sched.StorePath());
    SchedContext context{sched, shell, clock, mutexes, launcher, autostart, ""};
    DiscoverJobs(context);
    CheckSchedule(context);
  }
  if (!launcher.started.empty()) state.SkipWithError("a job started");
}
BENCHMARK(ListerVsRebuild_SchedulerFirstTickWithStore)->Unit(benchmark::kMillisecond);

// Everything the lister does but starting and printing: the survey and the table.
void ListerRun(benchmark::State& state, bool withStore) {
  const auto folder = JobFolder(kJobFiles);
  if (withStore) WriteStore(*folder, kJobFiles);
  UsSettings();
  const FakeClock clock(2026, 12, 9, 3, 0, 0);
  const SchedulerPresence presence;
  std::size_t bytes = 0;
  int listed = 0;
  for (auto _ : state) {
    const Survey survey = TakeSurvey(FolderOfPath(folder->PathOf("HarbovaleScheduler.exe")), clock, 1);
    bytes += TableOutput(survey, presence, false, clock).size();
    listed = survey.listedJobs;
  }
  benchmark::DoNotOptimize(bytes);
  if (listed != kJobFiles) state.SkipWithError("not every job was listed");
}

void ListerVsRebuild_Lister(benchmark::State& state) { ListerRun(state, false); }
BENCHMARK(ListerVsRebuild_Lister)->Unit(benchmark::kMillisecond);

void ListerVsRebuild_ListerWithStore(benchmark::State& state) { ListerRun(state, true); }
BENCHMARK(ListerVsRebuild_ListerWithStore)->Unit(benchmark::kMillisecond);

}  // namespace
