#include "app/JobFiles.h"

#include "foundation/TStringList.h"

std::string ExtensionOf(const std::string& name) {
  const auto dot = name.find_last_of(".\\:");
  if (dot == std::string::npos || name[dot] != '.') return {};
  return name.substr(dot);
}

bool IsJobFile(const Tokens& entry) {
  return entry.Value("type") == "file" && ExtensionOf(entry.Value("name")) == ".hvj";
}

std::string ReadScheduleLine(const std::string& jobsDir, const std::string& name) {
  TStringList jobFile;
  jobFile.LoadLines(jobsDir + name);
  return jobFile.Line(ScheduleLineIndex);
}

bool IsScheduled(const Tokens& schedule) { return schedule.Value("do_schedule") == "1"; }
