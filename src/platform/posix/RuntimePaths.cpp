#include "platform/posix/RuntimePaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::optional<std::string> LockFolder() {
  const std::string folder = Environment("XDG_RUNTIME_DIR");
  if (!folder.empty()) return folder;
  return PrivateFolder(LockFolderPath());
}

std::string LockFolderPath() {
  const std::string folder = Environment("XDG_RUNTIME_DIR");
  return folder.empty() ? "/tmp/harbovale-" + std::to_string(geteuid()) : folder;
}

std::optional<std::string> PrivateFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::nullopt;
  // Whoever made it, it is looked at as it is now. In a sticky folder such as /tmp nobody
  // else can remove or replace a folder of ours after this look.
  struct stat status;
  if (lstat(folder.c_str(), &status) != 0) return std::nullopt;
  if (!S_ISDIR(status.st_mode) || status.st_uid != geteuid()) return std::nullopt;
  if ((status.st_mode & (S_IRWXG | S_IRWXO)) != 0) return std::nullopt;
  return folder;
}

std::string LockFilePath(const std::string& folder, const std::string& name) {
  std::string file = name;
  for (char& c : file)
    if (c == '/') c = '_';
  return folder + "/" + file + ".lock";
}

std::string ConfigFolder() {
  const std::string folder = Environment("XDG_CONFIG_HOME");
  return folder.empty() ? Environment("HOME") + "/.config" : folder;
}

std::string StateFolder() {
  const std::string folder = Environment("XDG_STATE_HOME");
  if (!folder.empty() && folder.front() == '/') return folder;
  const std::string home = Environment("HOME");
  return home.empty() || home.front() != '/' ? std::string() : home + "/.local/state";
}

std::string AutostartFolder() { return ConfigFolder() + "/autostart"; }

}  // namespace platform
