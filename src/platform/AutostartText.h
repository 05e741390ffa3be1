#pragma once
// The texts that the autostart backends write, kept apart from the system calls so that both
// platforms' rules can be checked anywhere.

#include <string>

namespace platform {

// Data of the Windows `Run` value: the path as it is, or between double quotes when it holds
// a space. The shell splits an unquoted Run value at its spaces, so "C:\Program Files\x.exe"
// would start "C:\Program.exe" if such a file were planted there.
std::string RunValueData(const std::string& executablePath);

// The path as one argument of a desktop entry's Exec key: quoted when it holds a reserved
// character ('"', '`', '$' and '\' escaped inside the quotes), '%' doubled, then written with
// the string escapes of desktop-entry values (backslash, newline, tab, carriage return).
std::string DesktopExecArgument(const std::string& executablePath);

// Whole XDG autostart entry that starts `executablePath`, shown under the name `name`.
std::string DesktopEntryText(const std::string& name, const std::string& executablePath);

// File name of that entry for the registration `valueName`: lower-case letters and digits,
// everything else as '-', and ".desktop" ("Harbovale Scheduler" -> "harbovale-scheduler.desktop").
std::string DesktopEntryFileName(const std::string& valueName);

}  // namespace platform
