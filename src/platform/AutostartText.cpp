#include "platform/AutostartText.h"

#include <string_view>

namespace platform {

std::string RunValueData(const std::string& executablePath) {
  if (executablePath.find(' ') == std::string::npos) return executablePath;
  return '"' + executablePath + '"';
}

namespace {

// Characters that make an Exec argument need quotes.
constexpr std::string_view kReservedInExec = " \t\n\"'\\><~|&;$*?#()`";
// Characters that need a backslash inside a quoted Exec argument.
constexpr std::string_view kEscapedInQuotes = "\"`$\\";

// The string escapes of desktop-entry values, applied after the Exec quoting.
std::string EscapeValue(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

std::string DesktopExecArgument(const std::string& executablePath) {
  const bool quote = executablePath.find_first_of(kReservedInExec) != std::string::npos;
  std::string argument;
  if (quote) argument += '"';
  for (const char c : executablePath) {
    if (quote && kEscapedInQuotes.find(c) != std::string_view::npos) argument += '\\';
    if (c == '%') argument += '%';
    argument += c;
  }
  if (quote) argument += '"';
  return EscapeValue(argument);
}

std::string DesktopEntryText(const std::string& name, const std::string& executablePath) {
  return "[Desktop Entry]\nType=Application\nName=" + EscapeValue(name) +
         "\nExec=" + DesktopExecArgument(executablePath) + "\n";
}

std::string DesktopEntryFileName(const std::string& valueName) {
  std::string file;
  for (const char c : valueName) {
    if (c >= 'A' && c <= 'Z')
      file += static_cast<char>(c - 'A' + 'a');
    else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
      file += c;
    else
      file += '-';
  }
  return file + ".desktop";
}

}  // namespace platform
