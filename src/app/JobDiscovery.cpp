#include "app/JobDiscovery.h"

#include <string>
#include <vector>

#include "app/JobFiles.h"
#include "listing/Directory.h"
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
//
// The folder is listed whole first, as an FDirectory lists it and with the same errors, but
// without entry texts: of each entry only the type and name are read, and those straight
// from what the search found. Then the job files are read in listing order.
void ListScheduledJobs(SchedContext& context, TStringList& found) {
  const SchedState& state = context.state;
  if (!platform::FolderExists(state.JobsDir)) return;
  std::vector<std::string> jobFiles;
  ListEntries(state.JobsDir, state.FolderExclusions, [&](const platform::FolderEntry& entry) {
    std::string name = EntryName(entry);
    if (IsJobFile(EntryType(entry), name)) jobFiles.push_back(std::move(name));
  });
  ScheduleLineReader reader(state.JobsDir);
  for (const std::string& name : jobFiles) {
    const Tokens schedule(reader.Read(name));
    if (IsScheduled(schedule)) found.Append(schedule.Text());
  }
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
