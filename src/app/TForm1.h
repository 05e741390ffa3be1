#pragma once
// The scheduler's main form: never shown, it owns the one-second timer LoadJobs whose
// tick rebuilds the job list when needed and starts the jobs that are due.

#include <memory>

#include "app/ErrorBox.h"
#include "app/SchedContext.h"

class TForm1 {
 public:
  // Starts the timer, registers the program to start at log-on and loads the last-run
  // store. Errors leave the constructor (the timer stops with the half-built form).
  explicit TForm1(SchedContext& context);

  // One tick: job discovery, then the schedule check.
  void LoadJobsTimer();

 private:
  // The timer's dispatch: runs a tick and shows what escapes it in the error box.
  void DispatchTick();

  SchedContext& context_;
  ErrorBox errors_;
  bool ticking_ = false;
  std::unique_ptr<platform::Timer> LoadJobs;
};
