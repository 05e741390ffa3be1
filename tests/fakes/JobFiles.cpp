#include "fakes/JobFiles.h"

std::string JobFileText(std::string_view schedule, int lines) {
  std::string text;
  // Settings lines of a realistic length, so that reading them costs what it costs in use.
  for (int line = 1; line < lines; ++line)
    text += "source" + std::to_string(line) + "=C:\\Users\\me\\Documents\\folder " +
            std::to_string(line) + "\r\n";
  if (lines > 0) text.append(schedule).append("\r\n");
  return text;
}

std::string WriteJobFile(const TempFolder& folder, std::string_view name, std::string_view schedule,
                         int lines) {
  return folder.Write("Backup Jobs/" + std::string(name), JobFileText(schedule, lines));
}
