// What the companion lister asks of the system without changing anything: whether a named
// mutex is held, what the log-on registration holds, texts as UTF-8, and the zone's offset
// at a given moment.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/AutostartQuery.h"
#include "platform/AutostartText.h"
#include "platform/Autostart.h"
#include "platform/Clock.h"
#include "platform/Launcher.h"
#include "platform/MutexFixture.h"
#include "platform/MutexLookup.h"
#include "platform/NamedMutex.h"
#include "platform/TextCompare.h"
#include "fakes/TempFolder.h"
#include "platform/TestSupport.h"
#include "platform/TextOutput.h"

#ifndef _WIN32
#include <time.h>
#endif

namespace {

using platform::MutexPresence;
using testsupport::UniqueName;

class MutexLookupTest : public MutexFixture {};

TEST_F(MutexLookupTest, SeesAHeldMutexAndTakesNothing) {
  EXPECT_EQ(platform::LookForNamedMutex(name_), MutexPresence::Absent);
  {
    const platform::NamedMutex held(name_);
    EXPECT_EQ(platform::LookForNamedMutex(name_), MutexPresence::Held);
    EXPECT_EQ(platform::LookForNamedMutex(name_), MutexPresence::Held);
  }
  EXPECT_EQ(platform::LookForNamedMutex(name_), MutexPresence::Absent);
  // Looking left nothing behind that would make the next owner think it is the second.
  for (int i = 0; i < 3; ++i) platform::LookForNamedMutex(name_);
  EXPECT_FALSE(platform::NamedMutex(name_).AlreadyExisted());
}

#ifndef _WIN32
TEST_F(MutexLookupTest, NeverCreatesTheLockFile) {
  platform::LookForNamedMutex(name_);
  EXPECT_FALSE(std::filesystem::exists(runtime_.PathOf(name_ + ".lock")));
}

TEST_F(MutexLookupTest, SeesTheLockOfAnotherProcess) {
  const std::string lockFile = runtime_.PathOf(name_ + ".lock");
  const std::string ready = runtime_.PathOf("ready"), release = runtime_.PathOf("release");
  platform::SystemLauncher().Start("flock -n '" + lockFile + "' -c 'touch \"" + ready +
                                   "\"; while [ ! -e \"" + release +
                                   "\" ]; do sleep 0.05; done'");
  ASSERT_TRUE(testsupport::WaitFor([&] { return std::filesystem::exists(ready); }));
  EXPECT_EQ(platform::LookForNamedMutex(name_), MutexPresence::Held);
  EXPECT_TRUE(platform::NamedMutex(name_).AlreadyExisted());
  { std::ofstream(release).put('x'); }
  EXPECT_TRUE(testsupport::WaitFor(
      [&] { return platform::LookForNamedMutex(name_) == MutexPresence::Absent; }));
}
#endif

TEST(AutostartQuery, ReadsWhatRegisteringWroteAndTellsWhichProgramItStarts) {
#ifndef _WIN32
  TempFolder config;
  const testsupport::ScopedEnvironment configHome("XDG_CONFIG_HOME", config.Root().string());
  const std::string path = "/opt/my apps/harbovale-scheduler", other = "/opt/other/x";
#else
  const std::string path = "C:\\Program Files\\Harbovale\\HarbovaleScheduler.exe";
  const std::string other = "C:\\Other\\HarbovaleScheduler.exe";
#endif
  const std::string name = UniqueName("Harbovale Test ");
  EXPECT_FALSE(platform::ReadAutostartValue(name));
  platform::SystemAutostart().SetValue(name, path);
  const auto value = platform::ReadAutostartValue(name);
  ASSERT_TRUE(value);
#ifndef _WIN32
  EXPECT_EQ(*value, platform::DesktopExecArgument(path));
#else
  EXPECT_EQ(*value, platform::RunValueData(path));
  EXPECT_TRUE(platform::AutostartValueStarts(*value, "c:\\program files\\harbovale\\harbovalescheduler.exe"));
  EXPECT_TRUE(platform::AutostartValueStarts(path, path));  // written unquoted by an older copy
#endif
  EXPECT_TRUE(platform::AutostartValueStarts(*value, path));
  EXPECT_FALSE(platform::AutostartValueStarts(*value, other));
  platform::SystemAutostart().DeleteValue(name);
  EXPECT_FALSE(platform::ReadAutostartValue(name));
}

TEST(SystemTextToUtf8, KeepsAsciiAndGivesValidUtf8) {
  EXPECT_EQ(platform::SystemTextToUtf8("C:\\Tools\\backup.exe /job 1"),
            "C:\\Tools\\backup.exe /job 1");
  EXPECT_EQ(platform::SystemTextToUtf8(""), "");
#ifdef _WIN32
  // Every byte of the ANSI code page becomes a whole UTF-8 character.
  std::string high;
  for (int c = 0xA0; c <= 0xFF; ++c) high += static_cast<char>(c);
  const std::string utf8 = platform::SystemTextToUtf8(high);
  std::size_t characters = 0;
  for (const char c : utf8) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  EXPECT_EQ(characters, high.size());
#endif
}

// Texts compared one by one and through their keys match alike.
TEST(CaseFoldKey, AgreesWithTheComparisonIgnoringCase) {
  const std::string texts[] = {"",
                               "backup.cmd",
                               "BACKUP.CMD",
                               "Backup.Cmd",
                               "backup.cmd ",
                               "backup.cm",
                               "C:\\Tools\\backup.exe /job 1",
                               "c:\\tools\\BACKUP.EXE /JOB 1",
                               "C:\\Tools\\backup.exe /job 2",
                               "run.exe /level|full",
                               "run.exe /level,full",
                               "caf\xE9",
                               "CAF\xC9",
                               "caf\xC9",
                               "cafe",
                               "a\x7F",
                               "A\x7F"};
  for (const std::string& a : texts)
    for (const std::string& b : texts)
      EXPECT_EQ(platform::CaseFoldKey(a) == platform::CaseFoldKey(b),
                platform::SameTextIgnoringCase(a, b))
          << "'" << a << "' and '" << b << "'";
}

TEST(ClockBiasAt, IsTheBiasInForceNowForTheMomentNow) {
  const platform::Clock& clock = platform::SystemClock();
  const platform::TimeZoneInfo zone = clock.TimeZone();
  const std::int32_t now =
      zone.bias + (zone.resultCode == platform::kTimeZoneIdDaylight ? zone.daylightBias
                                                                    : zone.standardBias);
  platform::SystemTime t = clock.LocalTime();
  t.hour = 12;  // away from a change of offset in the night
  EXPECT_EQ(clock.BiasAt(t), now);
}

#ifndef _WIN32
TEST(ClockBiasAt, FollowsTheZoneRulesOfThatMoment) {
  platform::SystemTime winter, summer;
  winter.year = summer.year = 2026;
  winter.month = 1, summer.month = 7;
  winter.day = summer.day = 15;
  winter.hour = summer.hour = 12;
  {
    const testsupport::ScopedEnvironment zone("TZ", "Europe/Berlin");
    tzset();
    EXPECT_EQ(platform::SystemClock().BiasAt(winter), -60);
    EXPECT_EQ(platform::SystemClock().BiasAt(summer), -120);
  }
  tzset();  // the zone of the other tests again
}
#endif

}  // namespace
