#pragma once
// A scheduler in a temporary folder, with every operating-system service replaced by a
// fake: a settable clock, a switchable backup-application mutex, a recording launcher, an
// in-memory autostart store and a shell whose timer the test fires.

#include <gtest/gtest.h>

#include <string>

#include "app/SchedContext.h"
#include "app/Sched_main.h"
#include "fakes/FakeAutostart.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeLauncher.h"
#include "fakes/FakeMutexProbe.h"
#include "fakes/FakeShell.h"
#include "fakes/JobFiles.h"
#include "fakes/TempFolder.h"
#include "foundation/DateTimeFormat.h"
#include "platform/Files.h"

// `state` with the user's copy of its folders inside `folder`, not in the real profile of
// whoever runs the tests.
inline SchedState WithCopyIn(const TempFolder& folder, SchedState state) {
  const FolderView program{state.ExeDir, folder.PathOf("user-copy") + platform::kPathSeparator};
  state.ExeDirCopy = program.copy;
  state.JobsDirCopy = program.Sub(kJobsFolderName).copy;
  return state;
}

class SchedulerFixture : public ::testing::Test {
 protected:
  SchedulerFixture() {
    // US-style settings: "12/9/2026 2:30:00 PM".
    DateTimeFormat = DateTimeFormatSettings{};
    DateTimeFormat.shortDatePicture = "M/d/yyyy";
    DateTimeFormat.amText = "AM";
    DateTimeFormat.pmText = "PM";
  }
  ~SchedulerFixture() override { DateTimeFormat = DateTimeFormatSettings{}; }

  // A job file of 23 lines whose last line is `schedule`.
  std::string WriteJob(const std::string& name, const std::string& schedule,
                       int lines = kScheduleLine) {
    return WriteJobFile(folder, name, schedule, lines);
  }

  std::string StoreText() const { return folder.Read(StoreFileName); }

  TempFolder folder;
  std::string exePath = folder.PathOf("HarbovaleScheduler.exe");
  SchedState state = WithCopyIn(folder, InitializeSched_main(exePath));
  FakeShell shell;
  FakeClock clock{2026, 12, 9, 14, 29, 50};  // a Wednesday
  FakeMutexProbe mutexes;
  FakeLauncher launcher;
  FakeAutostart autostart;
  SchedContext context{state, shell, clock, mutexes, launcher, autostart, exePath};
};
