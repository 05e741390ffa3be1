#pragma once
// The start-at-log-on registration. On Windows the value `valueName` under
// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Run (the key is opened,
// never created); on POSIX the XDG autostart entry
// $XDG_CONFIG_HOME/autostart/harbovale-scheduler.desktop.

#include <string>

namespace platform {

class Autostart {
 public:
  virtual ~Autostart() = default;
  // Registers `executablePath` to start at log-on under `valueName`. Raises
  // ERegistryException "Failed to set data for '<valueName>'" when it cannot be written.
  virtual void SetValue(const std::string& valueName, const std::string& executablePath) = 0;
  // Removes the registration; a failure is ignored.
  virtual void DeleteValue(const std::string& valueName) = 0;
};

Autostart& SystemAutostart();

}  // namespace platform
