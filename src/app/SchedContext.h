#pragma once
// What a tick works on: the program-wide state, and what the scheduler takes from the
// operating system, in one place so that tests can put recording fakes in its stead.

#include <string>

#include "app/Sched_main.h"
#include "platform/AppShell.h"
#include "platform/Autostart.h"
#include "platform/Clock.h"
#include "platform/Launcher.h"
#include "platform/NamedMutex.h"

struct SchedContext {
  SchedState& state;
  platform::AppShell& shell;
  platform::Clock& clock;
  platform::MutexProbe& mutexes;
  platform::Launcher& launcher;
  platform::Autostart& autostart;
  std::string exePath;  // full path of the executable as the platform reports it
};
