// The rebuild: while the backup application runs, every tick lists the job folder and reads
// every job file. Measured against its floor: listing the same folder and reading the same
// files with the bare platform calls, with no listing entries, lines or schedules made.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "JobFolder.h"
#include "app/JobDiscovery.h"
#include "app/SchedContext.h"
#include "app/Sched_main.h"
#include "fakes/FakeAutostart.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLauncher.h"
#include "fakes/FakeMutexProbe.h"
#include "fakes/FakeShell.h"
#include "foundation/DateTimeFormat.h"
#include "platform/Files.h"
#include "platform/FolderSearch.h"

namespace {

void Rebuild(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  const auto folder = JobFolder(jobs);
  SchedState sched = InitializeSched_main(folder->PathOf("HarbovaleScheduler.exe"));
  DateTimeFormat = DateTimeFormatSettings{};
  DateTimeFormat.shortDatePicture = "M/d/yyyy";
  FakeShell shell;
  FakeClock clock(2026, 12, 9, 3, 0, 0);
  FakeMutexProbe mutexes;
  mutexes.held.insert(sched.BackupAppMutexName);  // every tick rebuilds
  FakeLauncher launcher;
  FakeAutostart autostart;
  SchedContext context{sched, shell, clock, mutexes, launcher, autostart, ""};
  for (auto _ : state) DiscoverJobs(context);
  if (sched.JobList.LineCount() != jobs) state.SkipWithError("not every job was listed");
  state.SetItemsProcessed(state.iterations() * jobs);
}
BENCHMARK(Rebuild)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

// The floor: the same folder walked and the same files read, nothing else. One function, so
// that a profile can take it alone.
[[gnu::noinline]] int ReadJobFolderBare(const std::string& jobsDir, std::size_t& bytes) {
  int read = 0;
  platform::FolderSearch search(jobsDir + "*");
  platform::FolderEntry entry;
  while (search.Next(entry)) {
    if ((entry.attributes & platform::kAttributeDirectory) || !entry.name.ends_with(".hvj"))
      continue;
    const auto file = platform::ReadWholeFile(jobsDir + entry.name);
    if (file.outcome == platform::ReadOutcome::Read) bytes += file.bytes.size(), ++read;
  }
  return read;
}

void RebuildFloor(benchmark::State& state) {
  const int jobs = static_cast<int>(state.range(0));
  const auto folder = JobFolder(jobs);
  const std::string jobsDir = folder->PathOf("Backup Jobs") + platform::kPathSeparator;
  std::size_t bytes = 0;
  int read = 0;
  for (auto _ : state) read = ReadJobFolderBare(jobsDir, bytes);
  benchmark::DoNotOptimize(bytes);
  if (read != jobs) state.SkipWithError("not every job file was read");
  state.SetItemsProcessed(state.iterations() * jobs);
}
BENCHMARK(RebuildFloor)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
