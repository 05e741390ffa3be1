#pragma once
// Records every command line it is asked to start; starts nothing.

#include <string>
#include <vector>

#include "platform/Launcher.h"

class FakeLauncher : public platform::Launcher {
 public:
  void Start(const std::string& commandLine) override { started.push_back(commandLine); }

  std::vector<std::string> started;
};
