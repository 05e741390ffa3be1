#include "platform/Launcher.h"

#include <windows.h>

namespace platform {

namespace {

class WinExecLauncher final : public Launcher {
 public:
  void Start(const std::string& commandLine) override {
    WinExec(commandLine.c_str(), SW_SHOWNORMAL);
  }
};

}  // namespace

Launcher& SystemLauncher() {
  static WinExecLauncher launcher;
  return launcher;
}

}  // namespace platform
