#include "platform/AutostartQuery.h"

#include "platform/TextCompare.h"
#include "platform/win32/RegistryValues.h"

namespace platform {

std::optional<std::string> ReadAutostartValue(const std::string& valueName) {
  return RegistryValues(HKEY_LOCAL_MACHINE, kRunKey).Read(valueName);
}

bool AutostartValueStarts(const std::string& value, const std::string& executablePath) {
  std::string path = value;
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  return SameTextIgnoringCase(path, executablePath);
}

}  // namespace platform
