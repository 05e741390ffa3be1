#include "app/LastRunKey.h"

#include <algorithm>

std::string LastRunKey(std::string commandLine) {
  std::replace(commandLine.begin(), commandLine.end(), '=', '|');
  return commandLine;
}
