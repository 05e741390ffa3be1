#pragma once
// Which files of the job folder are jobs, and how a job's schedule is read from its file.
// The scheduler's rebuild and the companion lister read job files through these alone.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "listing/Tokens.h"
#include "platform/Files.h"

inline constexpr int ScheduleLineIndex = 22;  // the 23rd line of a job file

// From the last '.' to the end, '.' included; empty when there is none after the last
// '\' or ':'.
std::string ExtensionOf(const std::string& name);

// Whether a listing entry is a job file: its type is "file" and its name ends in ".hvj",
// both compared exactly (letter case matters).
bool IsJobFile(std::string_view type, const std::string& name);

// Reads the schedule lines of job files of one folder one after the other: Read(name) gives
// the schedule line of the job file `name`, raising what reading it raises ("Cannot open
// file %s", "Stream read error", "List index out of bounds (22)", ...), or "Unsafe job file
// %s: <reason>" when others could have written it or it is not a regular file
// (UnsafeToRunReason). A file is read no further than the end of that line. The folder is
// looked at once (at the first file) rather than once per file, and each file through the
// descriptor that reads it.
class ScheduleLineReader {
 public:
  explicit ScheduleLineReader(std::string jobsDir) : jobsDir_(std::move(jobsDir)) {}
  std::string Read(const std::string& name);

 private:
  std::string jobsDir_;
  std::string path_;  // the path of the file being read
  std::optional<platform::FolderLook> folder_;
};

// Whether a decoded schedule line has scheduling on: `do_schedule` is exactly "1".
bool IsScheduled(const Tokens& schedule);
// The same from the value of its `do_schedule`, read already.
bool IsScheduled(std::string_view doSchedule);
