#include "platform/AutostartText.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
  const char* label;
  std::string path;
  std::string expected;
};

TEST(RunValueData, QuotesOnlyPathsWithSpaces) {
  const TextCase cases[] = {
      {"plain", "C:\\Apps\\Sched\\HarbovaleScheduler.exe",
       "C:\\Apps\\Sched\\HarbovaleScheduler.exe"},
      {"space", "C:\\Program Files\\Harbovale\\HarbovaleScheduler.exe",
       "\"C:\\Program Files\\Harbovale\\HarbovaleScheduler.exe\""},
      {"other characters", "C:\\A&B\\x(1)%.exe", "C:\\A&B\\x(1)%.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::RunValueData(c.path), c.expected) << c.label;
}

TEST(DesktopExecArgument, QuotesEscapesAndDoublesPercentByTheDesktopEntryRules) {
  // Expected texts are as they stand in the file: first the Exec quoting, then the string
  // escapes of the value (each backslash of the quoting is doubled again).
  const TextCase cases[] = {
      {"plain", "/usr/bin/harbovale-scheduler", "/usr/bin/harbovale-scheduler"},
      {"equals sign is not reserved", "/opt/a=b/x", "/opt/a=b/x"},
      {"space", "/opt/my apps/x", "\"/opt/my apps/x\""},
      {"single quote", "/opt/it's/x", "\"/opt/it's/x\""},
      {"dollar", "/opt/a$b/x", "\"/opt/a\\\\$b/x\""},
      {"backtick", "/opt/a`b/x", "\"/opt/a\\\\`b/x\""},
      {"double quote", "/opt/a\"b/x", "\"/opt/a\\\\\"b/x\""},
      {"backslash", "/opt/a\\b/x", "\"/opt/a\\\\\\\\b/x\""},
      {"percent unquoted", "/opt/100%/x", "/opt/100%%/x"},
      {"percent quoted", "/opt/50% off/x", "\"/opt/50%% off/x\""},
      {"newline", "/opt/a\nb/x", "\"/opt/a\\nb/x\""},
      {"tab", "/opt/a\tb/x", "\"/opt/a\\tb/x\""},
      {"shell characters", "/opt/a;b|c&d/x", "\"/opt/a;b|c&d/x\""},
      {"glob and home", "/opt/~x/*?", "\"/opt/~x/*?\""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::DesktopExecArgument(c.path), c.expected) << c.label;
}

TEST(DesktopEntry, WholeEntryAndFileName) {
  EXPECT_EQ(platform::DesktopEntryText("Harbovale Scheduler", "/opt/my apps/harbovale-scheduler"),
            "[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Harbovale Scheduler\n"
            "Exec=\"/opt/my apps/harbovale-scheduler\"\n");
  EXPECT_EQ(platform::DesktopEntryFileName("Harbovale Scheduler"), "harbovale-scheduler.desktop");
  EXPECT_EQ(platform::DesktopEntryFileName("A/../b.C"), "a----b-c.desktop");
}

}  // namespace
