#pragma once
// What the scheduler takes from the operating system, in one place so that tests can put
// recording fakes in its stead.

#include <string>

#include "platform/AppShell.h"
#include "platform/Autostart.h"
#include "platform/Clock.h"
#include "platform/Launcher.h"
#include "platform/NamedMutex.h"

struct SchedContext {
  platform::AppShell& shell;
  platform::Clock& clock;
  platform::MutexProbe& mutexes;
  platform::Launcher& launcher;
  platform::Autostart& autostart;
  std::string exePath;  // full path of the executable as the platform reports it
};
