#include "app/JobFolderWalk.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "app/JobFiles.h"
#include "listing/Directory.h"

namespace {

// An entry as the listing found it, with what reading it gave when it is a job file.
struct Found {
  std::string name;
  bool folder;
  bool jobFile;
  std::string line;
  std::exception_ptr error;
};

// Lists `folder` into `found`, reading each job file as soon as the search finds it, while
// what the system knows of it is still at hand (in a large folder, reading after the whole
// listing finds it gone from the processor's caches). Where `standIn` gives an entry for a
// name, that entry is kept in its place and the folder's own is not read.
template <class StandIn>
void ListAndRead(const std::string& folder, const std::string& exclusions,
                 std::vector<Found>& found, StandIn standIn) {
  ScheduleLineReader reader(folder);
  ListEntries(folder, exclusions, [&](const platform::FolderEntry& entry) {
    std::string name = EntryName(entry);
    if (Found* other = standIn(name)) {
      found.push_back(std::move(*other));
      return;
    }
    Found& each = found.emplace_back();
    each.name = std::move(name);
    each.folder = EntryType(entry) != "file";
    each.jobFile = IsJobFile(each.folder ? "dir" : "file", each.name);
    if (!each.jobFile) return;
    try {
      each.line = reader.Read(each.name);
    } catch (...) {
      each.error = std::current_exception();
    }
  });
}

}  // namespace

void WalkJobFolder(const FolderView& jobs, const std::string& exclusions,
                   const std::function<void(const JobFolderEntry&)>& visit) {
  // The user's copy first: an entry there stands in place of the real folder's entry of the
  // same name, which is then not read at all. What each entry holds or raised waits until
  // both listings have ended, so that a listing that fails still raises before the first
  // entry.
  std::vector<Found> fromCopy;
  std::unordered_map<std::string, std::size_t> copyIndex;  // by FileNameKey
  const auto none = [](const std::string&) -> Found* { return nullptr; };
  if (!jobs.copy.empty()) {
    ListAndRead(jobs.copy, exclusions, fromCopy, none);
    for (std::size_t i = 0; i < fromCopy.size(); ++i)
      copyIndex.emplace(platform::FileNameKey(fromCopy[i].name), i);
  }
  std::vector<Found> found;
  std::vector<bool> taken(fromCopy.size(), false);
  ListAndRead(jobs.real, exclusions, found, [&](const std::string& name) -> Found* {
    if (copyIndex.empty()) return nullptr;
    const auto at = copyIndex.find(platform::FileNameKey(name));
    if (at == copyIndex.end()) return nullptr;
    taken[at->second] = true;
    return &fromCopy[at->second];
  });
  for (std::size_t i = 0; i < fromCopy.size(); ++i)
    if (!taken[i]) found.push_back(std::move(fromCopy[i]));

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
