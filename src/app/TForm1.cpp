#include "app/TForm1.h"

#include "app/JobDiscovery.h"
#include "app/ScheduleCheck.h"
#include "platform/Files.h"
#include "platform/Memory.h"

TForm1::TForm1(SchedContext& context) : context_(context), errors_(context.shell) {
  LoadJobs = context_.shell.StartTimer(kTimerIntervalMs, [this] { DispatchTick(); });
  context_.autostart.SetValue(kAutostartValueName, context_.exePath);
  SchedState& state = context_.state;
  const std::string store = state.StorePath();  // the user's copy's, where it holds one
  if (platform::FileExists(store)) state.LastRunStore.LoadLines(store);
}

void TForm1::LoadJobsTimer() {
  // The rebuild of the first tick, and the tenth after the backup application has gone, is
  // the last for a while: the scheduler then idles with the job list it has, and what the
  // rebuild used and freed goes back to the system rather than stay with the idle process.
  const bool lastRebuild = context_.state.RescanCountdown == 1;
  DiscoverJobs(context_);
  CheckSchedule(context_);
  if (lastRebuild && context_.state.RescanCountdown == 0) platform::ReturnFreeMemory();
}

void TForm1::DispatchTick() {
  // A tick runs to its end before the next may start; a box opened by a failed tick lets
  // later ticks run (the tick's own work is over by then).
  if (ticking_) return;
  bool failed = false;
  std::string message;
  ticking_ = true;
  try {
    LoadJobsTimer();
  } catch (...) {
    failed = true;
    message = CurrentErrorMessage();
  }
  ticking_ = false;
  if (failed) errors_.Show(message);
}
