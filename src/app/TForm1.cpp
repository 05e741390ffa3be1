#include "app/TForm1.h"

#include "app/JobDiscovery.h"
#include "app/ScheduleCheck.h"
#include "platform/Files.h"

TForm1::TForm1(SchedContext& context) : context_(context), errors_(context.shell) {
  LoadJobs = context_.shell.StartTimer(kTimerIntervalMs, [this] { DispatchTick(); });
  context_.autostart.SetValue(kAutostartValueName, context_.exePath);
  SchedState& state = context_.state;
  if (platform::FileExists(state.StorePath())) state.LastRunStore.LoadLines(state.StorePath());
}

void TForm1::LoadJobsTimer() {
  DiscoverJobs(context_);
  CheckSchedule(context_);
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
