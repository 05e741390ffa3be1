#include "platform/AppShell.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "fakes/ErrorMessage.h"
#include "foundation/Exception.h"

namespace {

class AppShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    // Under Wine a window needs an X display (Xvfb will do); without one there is nothing
    // to test here.
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no display: run under Xvfb";
#endif
    shell_ = platform::CreateAppShell();
  }

  std::unique_ptr<platform::AppShell> shell_;
};

TEST_F(AppShellTest, CloseFromATickEndsRunWithZeroAfterThatTickHasFinished) {
  int ticks = 0;
  bool finishedClosingTick = false;
  auto timer = shell_->StartTimer(10, [&] {
    if (++ticks < 3) return;
    shell_->CloseMainForm();
    finishedClosingTick = true;
  });
  EXPECT_EQ(shell_->Run(), 0);
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(finishedClosingTick);
}

TEST_F(AppShellTest, TicksOfTwoTimersAreDispatchedOneAtATime) {
  int depth = 0, deepest = 0, fast = 0, slow = 0;
  auto enter = [&](int& count) {
    deepest = std::max(deepest, ++depth);
    ++count;
    if (fast >= 5 && slow >= 3) shell_->CloseMainForm();
    --depth;
  };
  auto a = shell_->StartTimer(10, [&] { enter(fast); });
  auto b = shell_->StartTimer(25, [&] { enter(slow); });
  EXPECT_EQ(shell_->Run(), 0);
  EXPECT_EQ(deepest, 1);
}

TEST_F(AppShellTest, ATimerDestroyedInsideItsOwnTickTicksNoMore) {
  int stoppedTicks = 0, otherTicks = 0;
  std::unique_ptr<platform::Timer> stopped;
  stopped = shell_->StartTimer(10, [&] {
    ++stoppedTicks;
    stopped.reset();
  });
  auto other = shell_->StartTimer(10, [&] {
    if (++otherTicks == 5) shell_->CloseMainForm();
  });
  EXPECT_EQ(shell_->Run(), 0);
  EXPECT_EQ(stoppedTicks, 1);
}

TEST_F(AppShellTest, AnErrorEscapingATickEndsRunWithThatError) {
  auto timer =
      shell_->StartTimer(10, [] { throw EStringListError("List index out of bounds (22)"); });
  EXPECT_EQ(MessageOf([&] { shell_->Run(); }), "List index out of bounds (22)");
}

TEST_F(AppShellTest, KeepsItsTitle) {
  shell_->SetTitle("Harbovale Scheduler");
  EXPECT_EQ(shell_->Title(), "Harbovale Scheduler");
}

#ifndef _WIN32

TEST_F(AppShellTest, TerminationSignalsEndRunWithZeroBeforeAnotherTick) {
  for (const int signal : {SIGTERM, SIGINT}) {
    int ticks = 0;
    auto timer = shell_->StartTimer(10, [&] {
      ++ticks;
      std::raise(signal);  // blocked: it waits for the loop
    });
    EXPECT_EQ(shell_->Run(), 0) << signal;
    EXPECT_EQ(ticks, 1) << signal;
  }
}

TEST_F(AppShellTest, HangupCallsTheSettingsChangeHandlerAndTheLoopGoesOn) {
  int changes = 0, ticks = 0;
  shell_->OnSettingsChange([&] { ++changes; });
  auto timer = shell_->StartTimer(10, [&] {
    if (++ticks == 1) std::raise(SIGHUP);
    if (ticks == 3) shell_->CloseMainForm();
  });
  EXPECT_EQ(shell_->Run(), 0);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(ticks, 3);
}

TEST_F(AppShellTest, WithoutABusTheErrorBoxIsOneLineOnStandardErrorAndClosesAtOnce) {
  shell_->SetTitle("Harbovale Scheduler");
  bool closed = false;
  ::testing::internal::CaptureStderr();
  shell_->ShowErrorBox("Failed to set data for 'Harbovale Scheduler'.", [&] { closed = true; });
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Harbovale Scheduler: Failed to set data for 'Harbovale Scheduler'.\n");
  EXPECT_TRUE(closed);
}

#endif

}  // namespace
