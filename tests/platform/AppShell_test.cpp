#include "platform/AppShell.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#ifndef _WIN32
#include <unistd.h>
#endif

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

// Each timer gets its ticks beside the other (a timer starved by the other would leave the
// loop to end at the bound instead), and the tick that closes is the last one dispatched: no
// tick of either timer follows it.
TEST_F(AppShellTest, TicksOfTwoTimersAreDispatchedOneAtATime) {
  int fast = 0, slow = 0;
  int fastAtClose = -1, slowAtClose = -1;
  auto tick = [&](int& count) {
    ++count;
    const bool enough = (fast >= 5 && slow >= 3) || fast + slow >= 200;
    if (!enough || fastAtClose >= 0) return;
    fastAtClose = fast;
    slowAtClose = slow;
    shell_->CloseMainForm();
  };
  auto a = shell_->StartTimer(10, [&] { tick(fast); });
  auto b = shell_->StartTimer(25, [&] { tick(slow); });
  EXPECT_EQ(shell_->Run(), 0);
  EXPECT_GE(fast, 5);
  EXPECT_GE(slow, 3);
  EXPECT_EQ(fast, fastAtClose);
  EXPECT_EQ(slow, slowAtClose);
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

// Standard error on a pipe whose reader has gone, for the life of the object.
class StandardErrorReaderGone {
 public:
  StandardErrorReaderGone() {
    int ends[2];
    if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
    close(ends[0]);
    saved_ = dup(STDERR_FILENO);
    dup2(ends[1], STDERR_FILENO);
    close(ends[1]);
  }
  ~StandardErrorReaderGone() {
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  StandardErrorReaderGone(const StandardErrorReaderGone&) = delete;
  StandardErrorReaderGone& operator=(const StandardErrorReaderGone&) = delete;

 private:
  int saved_ = -1;
};

// A line nobody reads fails as a write: the process lives on (SIGPIPE at its default would
// end it here), the box closes at once as any line does, and the bound does not count the
// line, so the same error is written when standard error can take it again.
TEST_F(AppShellTest, ALineThatNobodyReadsEndsNothingAndIsWrittenWhenItCanBe) {
  testsupport::ScopedEnvironment noBus("DBUS_SESSION_BUS_ADDRESS", kNoBus);
  shell_.reset();
  std::signal(SIGPIPE, SIG_DFL);  // as a shell starts a program, whatever started this test
  shell_ = platform::CreateAppShell();
  shell_->SetTitle("Harbovale Scheduler");
  int closes = 0;
  {
    const StandardErrorReaderGone gone;
    shell_->ShowErrorBox("A.", [&] { ++closes; });
  }
  EXPECT_EQ(closes, 1);
  ::testing::internal::CaptureStderr();
  shell_->ShowErrorBox("A.", [&] { ++closes; });
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Harbovale Scheduler: A.\n");
  EXPECT_EQ(closes, 2);
}

#endif

}  // namespace
