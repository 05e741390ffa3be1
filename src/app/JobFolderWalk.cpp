#include "app/JobFolderWalk.h"

#include <optional>
#include <unordered_map>
#include <vector>

#include "app/JobFiles.h"
#include "listing/Directory.h"

namespace {

// An entry as the listing found it, with what reading and decoding it gave when it is a job
// file.
struct Found {
  std::string name;
  bool folder = false;
  bool jobFile = false;
  bool afterFailure = false;
  std::optional<Tokens> schedule;
  std::exception_ptr error;
  const std::string* copyFolder = nullptr;  // read from the user's copy, not the real folder
};

// The job files of a walk, read one after the other in the order the walk hands them on, each
// as soon as it gets its place (in a large folder, reading after the whole listing finds what
// the system knew of the file gone from the processor's caches). After a failing file the
// rest are read only when the walk reads on.
class Reader {
 public:
  Reader(const FolderView& jobs, AfterAFailingFile after)
      : real_(jobs.real), copy_(jobs.copy), after_(after) {}

  void Read(Found& each) {
    each.afterFailure = failed_;
    if (!each.jobFile || (failed_ && after_ == AfterAFailingFile::StopReading)) return;
    try {
      ScheduleLineReader& reader = each.copyFolder ? copy_ : real_;
      each.schedule.emplace(reader.Read(each.name));
    } catch (...) {
      each.error = std::current_exception();
      failed_ = true;
    }
  }

 private:
  ScheduleLineReader real_, copy_;
  AfterAFailingFile after_;
  bool failed_ = false;
};

Found FoundOf(const platform::FolderEntry& entry) {
  Found each;
  each.name = EntryName(entry);
  each.folder = EntryType(entry) != "file";
  each.jobFile = IsJobFile(each.folder ? "dir" : "file", each.name);
  return each;
}

}  // namespace

void WalkJobFolder(const FolderView& jobs, const std::string& exclusions, AfterAFailingFile after,
                   const std::function<void(const JobFolderEntry&)>& visit) {
  // The user's copy is listed first: an entry there stands in place of the real folder's
  // entry of the same name, which is then not read at all. What each entry holds or raised is
  // handed on once both listings have ended, so that a listing that fails still raises before
  // the first entry.
  std::vector<Found> fromCopy;
  std::unordered_map<std::string, std::size_t> copyIndex;  // by FileNameKey
  if (!jobs.copy.empty()) {
    ListEntries(jobs.copy, exclusions, [&](const platform::FolderEntry& entry) {
      Found& each = fromCopy.emplace_back(FoundOf(entry));
      each.copyFolder = &jobs.copy;
      copyIndex.emplace(platform::FileNameKey(each.name), fromCopy.size() - 1);
    });
  }
  Reader reader(jobs, after);
  std::vector<Found> found;
  std::vector<bool> taken(fromCopy.size(), false);
  ListEntries(jobs.real, exclusions, [&](const platform::FolderEntry& entry) {
    Found each = FoundOf(entry);
    if (!copyIndex.empty()) {
      const auto copied = copyIndex.find(platform::FileNameKey(each.name));
      if (copied != copyIndex.end()) {
        taken[copied->second] = true;
        each = std::move(fromCopy[copied->second]);
      }
    }
    reader.Read(found.emplace_back(std::move(each)));
  });
  for (std::size_t i = 0; i < fromCopy.size(); ++i)
    if (!taken[i]) reader.Read(found.emplace_back(std::move(fromCopy[i])));

  for (Found& each : found) {
    JobFolderEntry entry;
    entry.name = std::move(each.name);
    entry.folder = each.folder;
    entry.jobFile = each.jobFile;
    entry.error = each.error;
    entry.afterFailure = each.afterFailure;
    if (each.schedule) entry.schedule = &*each.schedule;
    visit(entry);
  }
}
