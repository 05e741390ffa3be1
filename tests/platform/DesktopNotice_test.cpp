// The desktop notice's own rules, against a bus of fakes: one notification at a time, and
// at the end every wait bounded and no flush after it. The real bus and server are the
// end-to-end cases' (tests/e2e/cases/posix-notify.sh).

#ifndef _WIN32

#include "platform/posix/shell/DesktopNotice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeSdBus.h"

namespace {

using platform::posix::DesktopNotice;

std::vector<std::string> Methods(const FakeSdBus& bus) {
  std::vector<std::string> methods;
  for (const auto& call : bus.calls) methods.push_back(call.method);
  return methods;
}

// While one notification is open, whatever its stage (waiting for the server's
// capabilities, on its way, showing), another is neither sent nor kept: the open one keeps
// its close, and once it has closed the next one goes.
TEST(DesktopNotice, ShowsOneNotificationAtATime) {
  int firstClosed = 0, laterClosed = 0;  // outlive the notice, whose end may call its close
  auto later = [&] { ++laterClosed; };
  FakeSdBus bus;
  DesktopNotice notice(FakeSdBus::Load);

  ASSERT_TRUE(notice.Show("Harbovale Scheduler", "First.", [&] { ++firstClosed; }));
  EXPECT_FALSE(notice.Show("Harbovale Scheduler", "While asking.", later));
  bus.ReplyCapabilities(0, {"body"});
  notice.Process();
  EXPECT_FALSE(notice.Show("Harbovale Scheduler", "While on its way.", later));
  bus.ReplyId(1, 7);
  notice.Process();
  EXPECT_FALSE(notice.Show("Harbovale Scheduler", "While showing.", later));
  EXPECT_EQ(Methods(bus), (std::vector<std::string>{"GetCapabilities", "Notify"}));
  EXPECT_EQ(bus.calls[1].body, "First.");

  bus.SignalClosed(7);
  notice.Process();
  EXPECT_EQ(firstClosed, 1);
  EXPECT_EQ(laterClosed, 0) << "refused ones are not kept";
  EXPECT_TRUE(notice.Show("Harbovale Scheduler", "Next.", later));
  EXPECT_EQ(bus.calls.size(), 3u);
}

// An error shown just before the process ends: the end waits for the server's answer, then
// for the bus to take the notification (a slow reader), each wait bounded by the end's
// deadline, and closes the connection only then.
TEST(DesktopNotice, AtTheEndTheLastNotificationGoesOutBeforeTheClose) {
  FakeSdBus bus;
  {
    DesktopNotice notice(FakeSdBus::Load);
    ASSERT_TRUE(notice.Show("Harbovale Scheduler", "Failed.", [] {}));
    bus.stuck = true;
    bus.duringWait = [&] {
      if (bus.waits.size() == 1) bus.ReplyCapabilities(0, {});
      if (bus.waits.size() == 2) bus.stuck = false;
    };
    notice.Finish();
    EXPECT_EQ(Methods(bus), (std::vector<std::string>{"GetCapabilities", "Notify"}));
    EXPECT_EQ(bus.waits.size(), 2u);
    EXPECT_EQ(bus.unwritten, 0u) << "closed before the bus took the notification";
    EXPECT_EQ(bus.closes, 1);
  }
  EXPECT_EQ(bus.closes, 1) << "closed once";
  for (const std::uint64_t wait : bus.waits) EXPECT_LE(wait, 2'000'000u);
}

}  // namespace

#endif
