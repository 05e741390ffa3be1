// Start at log-on through the XDG autostart folder: one desktop entry per registration.

#include "platform/Autostart.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/AutostartRule.h"
#include "platform/AutostartText.h"
#include "platform/Files.h"
#include "platform/posix/RuntimePaths.h"

namespace platform {

namespace {

std::string EntryPath(const std::string& valueName) {
  return AutostartFolder() + "/" + DesktopEntryFileName(valueName);
}

// Creates `folder` and its missing parents; true when it is a folder afterwards. A fresh
// account may have no autostart folder yet, and the entry is useless without it.
bool MakeFolders(const std::string& folder) {
  struct stat info {};
  if (stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode);
  const auto slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
    return false;
  return mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

// The entries of the autostart folder. An entry is replaced in one step (the same path as
// the last-run store), so a session starting at that moment never reads half an entry.
class DesktopEntries final : public AutostartStore {
 public:
  bool Write(const std::string& valueName, const std::string& data) override {
    return MakeFolders(AutostartFolder()) &&
           ReplaceWholeFile(EntryPath(valueName), data) == SaveOutcome::Saved;
  }
  std::optional<std::string> Read(const std::string& valueName) override {
    FileContents entry = ReadWholeFile(EntryPath(valueName));
    if (entry.outcome != ReadOutcome::Read) return std::nullopt;
    return std::move(entry.bytes);
  }
};

class XdgAutostart final : public Autostart {
 public:
  void SetValue(const std::string& valueName, const std::string& executablePath) override {
    DesktopEntries entries;
    WriteRegistration(entries, valueName, DesktopEntryText(valueName, executablePath));
  }

  // As with the registry value, the outcome is not looked at: a missing entry is the usual
  // case, and the program ends right after.
  void DeleteValue(const std::string& valueName) override { unlink(EntryPath(valueName).c_str()); }
};

}  // namespace

Autostart& SystemAutostart() {
  static XdgAutostart autostart;
  return autostart;
}

}  // namespace platform
