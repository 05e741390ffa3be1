// Start at log-on through the XDG autostart folder: one desktop entry per registration.

#include "platform/Autostart.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "foundation/Exception.h"
#include "platform/AutostartText.h"
#include "platform/posix/RuntimePaths.h"

namespace platform {

namespace {

std::string AutostartFolder() { return ConfigFolder() + "/autostart"; }

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

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    done += static_cast<std::size_t>(written);
  }
  return true;
}

// Writes the entry beside its place and renames it there, so that a session starting at
// that moment never reads half an entry.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".new";
  const int fd =
      open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, bytes);
  const bool closed = close(fd) == 0;
  if (written && closed && rename(temporary.c_str(), path.c_str()) == 0) return true;
  unlink(temporary.c_str());
  return false;
}

class XdgAutostart final : public Autostart {
 public:
  void SetValue(const std::string& valueName, const std::string& executablePath) override {
    const std::string folder = AutostartFolder();
    if (!MakeFolders(folder) || !ReplaceFile(folder + "/" + DesktopEntryFileName(valueName),
                                             DesktopEntryText(valueName, executablePath)))
      throw ERegistryException("Failed to set data for '" + valueName + "'");
  }

  void DeleteValue(const std::string& valueName) override {
    unlink((AutostartFolder() + "/" + DesktopEntryFileName(valueName)).c_str());
  }
};

}  // namespace

Autostart& SystemAutostart() {
  static XdgAutostart autostart;
  return autostart;
}

}  // namespace platform
