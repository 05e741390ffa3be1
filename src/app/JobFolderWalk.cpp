#include "app/JobFolderWalk.h"

#include <optional>
#include <vector>

#include "app/JobFiles.h"
#include "listing/Directory.h"

void WalkJobFolder(const std::string& jobsDir, const std::string& exclusions,
                   const std::function<void(const JobFolderEntry&)>& visit) {
  // Of each entry only the type and name are read, straight from what the search found. A
  // job file is read as soon as the search finds it, while what the system knows of it is
  // still at hand (in a large folder, reading after the whole listing finds it gone from the
  // processor's caches); what it holds or raised waits until the listing has ended, so that a
  // listing that fails still raises before the first entry.
  struct Found {
    std::string name;
    bool folder;
    bool jobFile;
    std::string line;
    std::exception_ptr error;
  };
  std::vector<Found> found;
  ScheduleLineReader reader(jobsDir);
  ListEntries(jobsDir, exclusions, [&](const platform::FolderEntry& entry) {
    Found& each = found.emplace_back();
    each.name = EntryName(entry);
    each.folder = EntryType(entry) != "file";
    each.jobFile = IsJobFile(each.folder ? "dir" : "file", each.name);
    if (!each.jobFile) return;
    try {
      each.line = reader.Read(each.name);
    } catch (...) {
      each.error = std::current_exception();
    }
  });
  for (Found& each : found) {
    JobFolderEntry entry;
    entry.name = std::move(each.name);
    entry.folder = each.folder;
    entry.jobFile = each.jobFile;
    entry.error = each.error;
    std::optional<Tokens> schedule;
    if (entry.jobFile && !entry.error) {
      try {
        schedule.emplace(std::move(each.line));
        entry.schedule = &*schedule;
      } catch (...) {
        entry.error = std::current_exception();
      }
    }
    visit(entry);
  }
}
