// Starting a command line through the shell, detached: the command runs in a session of its
// own, is never waited for, and leaves no zombie behind (the intermediate child is reaped at
// once and the command itself is adopted by init).

#include "platform/Launcher.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

namespace {

// A command that cannot be started as it should be is not started, the way a failed exec
// ends (the launcher's outcome is never reported).
[[noreturn]] void ExecShell(const std::string& commandLine) {
  // The scheduler blocks the signals it waits for; the command must get them as usual.
  sigset_t none;
  sigemptyset(&none);
  if (sigprocmask(SIG_SETMASK, &none, nullptr) != 0) _exit(127);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE})
    if (::signal(signal, SIG_DFL) == SIG_ERR) _exit(127);
  execl("/bin/sh", "sh", "-c", commandLine.c_str(), static_cast<char*>(nullptr));
  _exit(127);
}

class ShellLauncher final : public Launcher {
 public:
  void Start(const std::string& commandLine) override {
    const pid_t child = fork();
    if (child < 0) return;  // not started, and not reported, like a failed start on Windows
    if (child == 0) {
      // Left in the scheduler's session, the command would end with it.
      if (setsid() < 0) _exit(1);
      const pid_t grandchild = fork();
      if (grandchild == 0) ExecShell(commandLine);
      _exit(grandchild < 0 ? 1 : 0);
    }
    // Any other failure means there is no such child left to reap.
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
};

}  // namespace

Launcher& SystemLauncher() {
  static ShellLauncher launcher;
  return launcher;
}

}  // namespace platform
