#include "platform/AppShell.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "fakes/ErrorMessage.h"
#include "foundation/Exception.h"
#include "platform/TestSupport.h"

namespace {

#ifndef _WIN32
// A session bus address where no bus listens.
constexpr const char* kNoBus = "unix:path=/nonexistent/harbovale-test-bus";
#endif

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
  testsupport::ScopedEnvironment noBus("DBUS_SESSION_BUS_ADDRESS", kNoBus);
  shell_->SetTitle("Harbovale Scheduler");
  bool closed = false;
  ::testing::internal::CaptureStderr();
  shell_->ShowErrorBox("Failed to set data for 'Harbovale Scheduler'.", [&] { closed = true; });
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Harbovale Scheduler: Failed to set data for 'Harbovale Scheduler'.\n");
  EXPECT_TRUE(closed);
}

// Without a bus the line is the box, and it closes at once: an error that comes back on
// every tick is written again only after a tick without an error, a new text at once.
TEST_F(AppShellTest, WithoutABusARepeatedErrorIsWrittenOnceUntilATickWithoutAnError) {
  testsupport::ScopedEnvironment noBus("DBUS_SESSION_BUS_ADDRESS", kNoBus);
  shell_->SetTitle("Harbovale Scheduler");
  const std::vector<std::vector<std::string>> errorsOfTicks = {
      {"A.", "A."}, {"A."}, {"B."}, {"B."}, {}, {"B."}, {"A."}};
  std::size_t tick = 0;
  int closes = 0;
  ::testing::internal::CaptureStderr();
  auto timer = shell_->StartTimer(10, [&] {
    for (const std::string& text : errorsOfTicks[tick]) shell_->ShowErrorBox(text, [&] { ++closes; });
    if (++tick == errorsOfTicks.size()) shell_->CloseMainForm();
  });
  shell_->Run();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Harbovale Scheduler: A.\nHarbovale Scheduler: B.\nHarbovale Scheduler: B.\n"
            "Harbovale Scheduler: A.\n");
  EXPECT_EQ(closes, 7);  // every error shown closed at once
}

#endif

}  // namespace
