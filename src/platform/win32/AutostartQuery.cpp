#include "platform/AutostartQuery.h"

#include <windows.h>

#include <vector>

#include "platform/TextCompare.h"

namespace platform {

namespace {
constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
}

std::optional<std::string> ReadAutostartValue(const std::string& valueName) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return std::nullopt;
  std::optional<std::string> value;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
      std::string text(data.data(), size);
      // The stored data normally ends with its terminating NUL; the text ends at the first.
      value = text.substr(0, text.find('\0'));
    }
  }
  RegCloseKey(key);
  return value;
}

bool AutostartValueStarts(const std::string& value, const std::string& executablePath) {
  std::string path = value;
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
    path = path.substr(1, path.size() - 2);
  return SameTextIgnoringCase(path, executablePath);
}

}  // namespace platform
