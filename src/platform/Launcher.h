#pragma once
// Starts a command line as a separate process, not waited for. On Windows WinExec with
// SW_SHOWNORMAL; on POSIX "/bin/sh -c <command line>", detached, leaving no zombie.

#include <string>

namespace platform {

class Launcher {
 public:
  virtual ~Launcher() = default;
  // The outcome is deliberately not reported: a command that fails to start is not retried.
  virtual void Start(const std::string& commandLine) = 0;
};

Launcher& SystemLauncher();

}  // namespace platform
