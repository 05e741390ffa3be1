#include "platform/posix/RuntimePaths.h"

#include <cstdlib>

namespace platform {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::string RuntimeFolder() {
  const std::string folder = Environment("XDG_RUNTIME_DIR");
  return folder.empty() ? "/tmp" : folder;
}

std::string ConfigFolder() {
  const std::string folder = Environment("XDG_CONFIG_HOME");
  return folder.empty() ? Environment("HOME") + "/.config" : folder;
}

}  // namespace platform
