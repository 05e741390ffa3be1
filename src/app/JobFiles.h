#pragma once
// Which files of the job folder are jobs, and how a job's schedule is read from its file.
// The scheduler's rebuild and the companion lister read job files through these alone.

#include <string>
#include <string_view>

#include "listing/Tokens.h"

inline constexpr int ScheduleLineIndex = 22;  // the 23rd line of a job file

// From the last '.' to the end, '.' included; empty when there is none after the last
// '\' or ':'.
std::string ExtensionOf(const std::string& name);

// Whether a listing entry is a job file: its type is "file" and its name ends in ".hvj",
// both compared exactly (letter case matters). The entry decoded, or its type and name.
bool IsJobFile(const Tokens& entry);
bool IsJobFile(std::string_view type, const std::string& name);

// The schedule line of the job file `name` in `jobsDir`, raising what reading it raises
// ("Cannot open file %s", "Stream read error", "List index out of bounds (22)", ...), or
// "Unsafe job file %s: <reason>" when others could have written it (UnsafeToRunReason).
std::string ReadScheduleLine(const std::string& jobsDir, const std::string& name);

// Reads the schedule lines of job files of one folder one after the other, as
// ReadScheduleLine does, but looks at the folder's safety only until it has been found safe
// (once per rebuild rather than once per file).
class ScheduleLineReader {
 public:
  explicit ScheduleLineReader(const std::string& jobsDir) : jobsDir_(jobsDir) {}
  std::string Read(const std::string& name);

 private:
  const std::string& jobsDir_;
  bool folderFoundSafe_ = false;
};

// Whether a decoded schedule line has scheduling on: `do_schedule` is exactly "1".
bool IsScheduled(const Tokens& schedule);
