#include "app/JobDiscovery.h"

#include <exception>

#include "app/JobFiles.h"
#include "app/JobFolderWalk.h"
#include "platform/Files.h"

namespace {

constexpr int kTicksAfterBackupApp = 10;

// Whether this tick rebuilds: always while the backup application runs, and on the ticks
// that the countdown still allows after it has gone.
bool ShouldRebuild(SchedContext& context) {
  SchedState& state = context.state;
  if (context.mutexes.IsHeldElsewhere(state.BackupAppMutexName)) {
    state.RescanCountdown = kTicksAfterBackupApp;
    return true;
  }
  if (state.RescanCountdown > 0) {
    --state.RescanCountdown;
    return true;
  }
  return false;
}

// Appends to `found` the re-encoded schedule of every scheduled job file, in listing order.
// An unreadable job file ends the listing with the jobs found before it.
void ListScheduledJobs(SchedContext& context, TStringList& found) {
  const SchedState& state = context.state;
  const FolderView jobs = state.Jobs();
  if (!jobs.Exists()) return;
  WalkJobFolder(jobs, state.FolderExclusions, AfterAFailingFile::StopReading,
                [&](const JobFolderEntry& entry) {
                  if (entry.error) std::rethrow_exception(entry.error);
                  if (entry.schedule && IsScheduled(*entry.schedule))
                    found.Append(entry.schedule->Text());
                });
}

// JobList becomes `found`; left alone when it already holds the same lines, so that what the
// schedule check read from it stays valid while the backup application keeps the list
// rebuilt on every tick.
void Publish(TStringList& found, TStringList& jobList) {
  if (found.Lines() != jobList.Lines()) jobList.TakeLines(found);
}

// Rebuilds JobList from the job folder. A failing job file ends the rebuild with the jobs
// found before it in JobList.
void RebuildJobList(SchedContext& context) {
  TStringList found;
  try {
    ListScheduledJobs(context, found);
  } catch (...) {
    Publish(found, context.state.JobList);
    throw;
  }
  Publish(found, context.state.JobList);
}

}  // namespace

void DiscoverJobs(SchedContext& context) {
  if (!ShouldRebuild(context)) return;
  RebuildJobList(context);
  if (context.state.JobList.LineCount() < 1) {
    // Nothing left to schedule: stop starting at log-on, and end after this tick.
    context.autostart.DeleteValue(kAutostartValueName);
    context.shell.CloseMainForm();
  }
}
