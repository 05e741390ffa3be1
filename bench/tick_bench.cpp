// The idle tick: the schedule check walks every listed job on every tick, once a second,
// so its cost with many jobs and nothing due is what the scheduler spends all day.

#include <benchmark/benchmark.h>

#include <string>

#include "app/SchedContext.h"
#include "app/Sched_main.h"
#include "app/ScheduleCheck.h"
#include "fakes/FakeAutostart.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLauncher.h"
#include "fakes/FakeMutexProbe.h"
#include "fakes/FakeShell.h"
#include "fakes/TempFolder.h"
#include "foundation/DateTimeFormat.h"

namespace {

void IdleScheduleCheck(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  TempFolder folder;
  SchedState sched = InitializeSched_main(folder.PathOf("HarbovaleScheduler.exe"));
  DateTimeFormat = DateTimeFormatSettings{};
  DateTimeFormat.shortDatePicture = "M/d/yyyy";
  for (int i = 0; i < jobs; ++i) {
    const std::string cmd = "C:\\Tools\\backup.exe /job " + std::to_string(i);
    const std::string time = std::to_string(8 + i % 12) + ":" + std::to_string(10 + i % 50) + ":00";
    sched.JobList.Append("do_schedule=1,days=1111100,time=" + time + ",\"cmd=" + cmd + "\"");
    sched.LastRunStore.Append(cmd + "=12/8/2026 " + time);
  }
  FakeShell shell;
  FakeClock clock(2026, 12, 9, 3, 0, 0);  // nothing is due at 3 in the morning
  FakeMutexProbe mutexes;
  FakeLauncher launcher;
  FakeAutostart autostart;
  SchedContext context{sched, shell, clock, mutexes, launcher, autostart, ""};
  for (auto _ : state) CheckSchedule(context);
  if (!launcher.started.empty()) state.SkipWithError("a job was started");
  state.SetItemsProcessed(state.iterations() * jobs);
}
BENCHMARK(IdleScheduleCheck)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
