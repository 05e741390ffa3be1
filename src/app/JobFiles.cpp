#include "app/JobFiles.h"

#include "foundation/Exception.h"
#include "foundation/TStringList.h"
#include "platform/Files.h"

std::string ExtensionOf(const std::string& name) {
  const auto dot = name.find_last_of(".\\:");
  if (dot == std::string::npos || name[dot] != '.') return {};
  return name.substr(dot);
}

bool IsJobFile(const Tokens& entry) {
  return entry.Value("type") == "file" && ExtensionOf(entry.Value("name")) == ".hvj";
}

std::string ReadScheduleLine(const std::string& jobsDir, const std::string& name) {
  const std::string path = jobsDir + name;
  // Its command would run as this user: a file that someone else could have written is
  // refused as an unreadable one is.
  if (const auto reason = platform::UnsafeToRunReason(path))
    throw Exception("Unsafe job file " + path + ": " + *reason);
  TStringList jobFile;
  jobFile.LoadLines(path);
  return jobFile.Line(ScheduleLineIndex);
}

bool IsScheduled(const Tokens& schedule) { return schedule.Value("do_schedule") == "1"; }
