#pragma once
// Reading the start-at-log-on registration without changing it: what the `Run` value (on
// POSIX the desktop entry's Exec key) holds now, and whether that starts a given program.

#include <optional>
#include <string>

namespace platform {

// The data of the `Run` value `valueName` (the key opened for reading only); on POSIX the
// Exec value of the registration's desktop entry as it stands in the file. Nothing when there
// is no registration (or it cannot be read).
std::optional<std::string> ReadAutostartValue(const std::string& valueName);

// Whether a registration holding `value` starts the program at `executablePath`: on Windows
// the path with or without double quotes, letter case ignored; on POSIX exactly the Exec
// argument that registering that path writes.
bool AutostartValueStarts(const std::string& value, const std::string& executablePath);

}  // namespace platform
