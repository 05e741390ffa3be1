#include "app/JobDiscovery.h"

#include "app/Sched_main.h"
#include "listing/Directory.h"
#include "platform/Files.h"

namespace {

constexpr int ScheduleLineIndex = 22;  // the 23rd line of a job file
constexpr int kTicksAfterBackupApp = 10;

// From the last '.' to the end, '.' included; empty when there is none after the last
// '\' or ':'.
std::string ExtensionOf(const std::string& name) {
  const auto dot = name.find_last_of(".\\:");
  if (dot == std::string::npos || name[dot] != '.') return {};
  return name.substr(dot);
}

// Whether this tick rebuilds: always while the backup application runs, and on the ticks
// that the countdown still allows after it has gone.
bool ShouldRebuild(SchedContext& context) {
  if (context.mutexes.IsHeldElsewhere(BackupAppMutexName)) {
    RescanCountdown = kTicksAfterBackupApp;
    return true;
  }
  if (RescanCountdown > 0) {
    --RescanCountdown;
    return true;
  }
  return false;
}

// Appends to `found` the re-encoded schedule of every scheduled job file, in listing order.
// An unreadable job file ends the listing with the jobs found before it.
void ListScheduledJobs(SchedContext& context, TStringList& found) {
  if (!platform::FolderExists(JobsDir)) return;
  const FDirectory listing(JobsDir, FolderExclusions, context.clock);
  for (int i = 0; i < listing.entries.LineCount(); ++i) {
    const Tokens entry(listing.GetEntry(i));
    const std::string name = entry.Value("name");
    if (entry.Value("type") != "file" || ExtensionOf(name) != ".hvj") continue;
    TStringList jobFile;
    jobFile.LoadLines(JobsDir + name);
    const Tokens schedule(jobFile.Line(ScheduleLineIndex));
    if (schedule.Value("do_schedule") == "1") found.Append(schedule.Text());
  }
}

bool SameLines(const TStringList& a, const TStringList& b) {
  if (a.LineCount() != b.LineCount()) return false;
  for (int i = 0; i < a.LineCount(); ++i)
    if (a.Line(i) != b.Line(i)) return false;
  return true;
}

// JobList becomes `found`; left alone when it already holds the same lines, so that what the
// schedule check read from it stays valid while the backup application keeps the list
// rebuilt on every tick.
void Publish(const TStringList& found) {
  if (SameLines(found, JobList)) return;
  JobList.RemoveAll();
  for (int i = 0; i < found.LineCount(); ++i) JobList.Append(found.Line(i));
}

// Rebuilds JobList from the job folder. A failing job file ends the rebuild with the jobs
// found before it in JobList.
void RebuildJobList(SchedContext& context) {
  TStringList found;
  try {
    ListScheduledJobs(context, found);
  } catch (...) {
    Publish(found);
    throw;
  }
  Publish(found);
}

}  // namespace

void DiscoverJobs(SchedContext& context) {
  if (!ShouldRebuild(context)) return;
  RebuildJobList(context);
  if (JobList.LineCount() < 1) {
    // Nothing left to schedule: stop starting at log-on, and end after this tick.
    context.autostart.DeleteValue(kAutostartValueName);
    context.shell.CloseMainForm();
  }
}
