#include "app/JobFiles.h"

#include "foundation/Exception.h"
#include "foundation/TStringList.h"
#include "platform/Files.h"

std::string ExtensionOf(const std::string& name) {
  const auto dot = name.find_last_of(".\\:");
  if (dot == std::string::npos || name[dot] != '.') return {};
  return name.substr(dot);
}

bool IsJobFile(const Tokens& entry) { return IsJobFile(entry.Value("type"), entry.Value("name")); }

bool IsJobFile(std::string_view type, const std::string& name) {
  return type == "file" && ExtensionOf(name) == ".hvj";
}

std::string ReadScheduleLine(const std::string& jobsDir, const std::string& name) {
  return ScheduleLineReader(jobsDir).Read(name);
}

std::string ScheduleLineReader::Read(const std::string& name) {
  const std::string path = jobsDir_ + name;
  // Its command would run as this user: a file that someone else could have written is
  // refused as an unreadable one is.
  const auto folderCheck =
      folderFoundSafe_ ? platform::FolderCheck::AlreadyFoundSafe : platform::FolderCheck::Look;
  if (const auto reason = platform::UnsafeToRunReason(path, folderCheck))
    throw Exception("Unsafe job file " + path + ": " + *reason);
  std::string line = TStrings::LoadLine(path, ScheduleLineIndex);
  if (!folderFoundSafe_) folderFoundSafe_ = !platform::UnsafeFolderReason(path);
  return line;
}

bool IsScheduled(const Tokens& schedule) { return schedule.Value("do_schedule") == "1"; }
