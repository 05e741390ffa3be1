#include "app/JobFiles.h"

#include "foundation/Exception.h"
#include "foundation/TStringList.h"
#include "platform/Files.h"

std::string ExtensionOf(const std::string& name) {
  // From the last '.', unless a '\' or ':' comes after it.
  for (std::size_t i = name.size(); i-- > 0;) {
    if (name[i] == '.') return name.substr(i);
    if (name[i] == '\\' || name[i] == ':') break;
  }
  return {};
}

bool IsJobFile(std::string_view type, const std::string& name) {
  return type == "file" && ExtensionOf(name) == ".hvj";
}

std::string ScheduleLineReader::Read(const std::string& name) {
  // One text for every path of the folder: its room is made once per reader.
  std::string& path = path_;
  path.assign(jobsDir_).append(name);
  // Its command would run as this user: a file that someone else could have written is
  // refused as an unreadable one is, and so is what is not a regular file (a named pipe
  // would hold the reader for good). The reasons come in the order of UnsafeToRunReason:
  // the link, the file, the folder.
  const auto refuse = [&](const std::string& reason) {
    throw Exception("Unsafe job file " + path + ": " + reason);
  };
  if (!folder_) folder_ = platform::LookAtFolderOf(path);
  // A link in a folder that only its owner and root may write is theirs.
  if (folder_->othersMayAddEntries)
    if (const auto reason = platform::UnsafeLinkReason(path)) refuse(*reason);
  platform::InputFile file(path);
  if (!file.IsOpen()) {
    // What cannot be opened may still be refused by its looks, as before it was opened.
    if (const auto reason = platform::UnsafeToRunReason(path)) refuse(*reason);
    throw EFOpenError("Cannot open file " + path);
  }
  if (const auto reason = file.UnsafeToRunReason()) refuse(*reason);
  if (folder_->unsafeReason) refuse(*folder_->unsafeReason);
  return TStrings::LoadLine(file, ScheduleLineIndex);
}

bool IsScheduled(const Tokens& schedule) { return IsScheduled(schedule.Value("do_schedule")); }

bool IsScheduled(std::string_view doSchedule) { return doSchedule == "1"; }
