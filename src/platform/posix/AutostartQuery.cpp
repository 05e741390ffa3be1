#include "platform/AutostartQuery.h"

#include <sstream>

#include "platform/AutostartText.h"
#include "platform/Files.h"
#include "platform/posix/RuntimePaths.h"

namespace platform {

std::optional<std::string> ReadAutostartValue(const std::string& valueName) {
  const FileContents entry =
      ReadWholeFile(AutostartFolder() + "/" + DesktopEntryFileName(valueName));
  if (entry.outcome != ReadOutcome::Read) return std::nullopt;
  std::istringstream lines(entry.bytes);
  std::string line;
  while (std::getline(lines, line))
    if (line.rfind("Exec=", 0) == 0) return line.substr(5);
  return std::string();
}

bool AutostartValueStarts(const std::string& value, const std::string& executablePath) {
  return value == DesktopExecArgument(executablePath);
}

}  // namespace platform
