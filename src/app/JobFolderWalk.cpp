#include "app/JobFolderWalk.h"

#include <optional>
#include <vector>

#include "app/JobFiles.h"
#include "listing/Directory.h"

void WalkJobFolder(const std::string& jobsDir, const std::string& exclusions,
                   const std::function<void(const JobFolderEntry&)>& visit) {
  // Of each entry only the type and name are read, straight from what the search found.
  struct Found {
    std::string name;
    bool folder;
  };
  std::vector<Found> found;
  ListEntries(jobsDir, exclusions, [&](const platform::FolderEntry& entry) {
    found.push_back({EntryName(entry), EntryType(entry) != "file"});
  });
  ScheduleLineReader reader(jobsDir);
  for (Found& each : found) {
    JobFolderEntry entry;
    entry.name = std::move(each.name);
    entry.folder = each.folder;
    entry.jobFile = IsJobFile(entry.folder ? "dir" : "file", entry.name);
    std::optional<Tokens> schedule;
    if (entry.jobFile) {
      try {
        schedule.emplace(reader.Read(entry.name));
        entry.schedule = &*schedule;
      } catch (...) {
        entry.error = std::current_exception();
      }
    }
    visit(entry);
  }
}
