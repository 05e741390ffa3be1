#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>

#include "fakes/FileTimeExample.h"
#include "foundation/CivilDays.h"
#include "foundation/DateTimeValue.h"
#include "platform/FileTime.h"

#ifdef _WIN32
#include "platform/win32/SystemTimeFields.h"
#endif

namespace {

// The file-time epoch agrees with the calendar of the date values.
static_assert(platform::kSecondsFrom1601To1970 ==
              (civil::DayNumberFromCivil(1970, 1, 1) - civil::DayNumberFromCivil(1601, 1, 1)) *
                  86'400);

TEST(SplitFileTime, GivesUtcCalendarFields) {
  struct Case {
    std::uint64_t fileTime;
    int year, month, day, hour, minute, second, ms, dayOfWeek;
  } cases[] = {
      {0, 1601, 1, 1, 0, 0, 0, 0, 1},
      {kJanuaryFileTime, 2003, 1, 15, 11, 0, 0, 0, 3},
      {kJanuaryFileTime + 12'345'678, 2003, 1, 15, 11, 0, 1, 234, 3},
      {platform::kSecondsFrom1601To1970 * platform::kFileTimeTicksPerSecond, 1970, 1, 1, 0, 0, 0, 0,
       4},
      {2650467743999999999ULL, 9999, 12, 31, 23, 59, 59, 999, 5},
  };
  for (const Case& c : cases) {
    const auto t = platform::SplitFileTime(c.fileTime);
    ASSERT_TRUE(t) << c.fileTime;
    EXPECT_EQ(t->year, c.year) << c.fileTime;
    EXPECT_EQ(t->month, c.month) << c.fileTime;
    EXPECT_EQ(t->day, c.day) << c.fileTime;
    EXPECT_EQ(t->hour, c.hour) << c.fileTime;
    EXPECT_EQ(t->minute, c.minute) << c.fileTime;
    EXPECT_EQ(t->second, c.second) << c.fileTime;
    EXPECT_EQ(t->milliseconds, c.ms) << c.fileTime;
    EXPECT_EQ(t->dayOfWeek, c.dayOfWeek) << c.fileTime;
  }
  EXPECT_FALSE(platform::SplitFileTime(0x8000000000000000ULL));
}

#ifdef _WIN32
// Every field goes to its namesake and back: a distinct value in each shows a swap.
TEST(SystemTimeFields, CopyEveryFieldBothWays) {
  const platform::SystemTime fields{2026, 12, 3, 9, 14, 30, 59, 999};
  const SYSTEMTIME t = platform::SystemTimeOf(fields);
  EXPECT_EQ(t.wYear, 2026);
  EXPECT_EQ(t.wMonth, 12);
  EXPECT_EQ(t.wDayOfWeek, 3);
  EXPECT_EQ(t.wDay, 9);
  EXPECT_EQ(t.wHour, 14);
  EXPECT_EQ(t.wMinute, 30);
  EXPECT_EQ(t.wSecond, 59);
  EXPECT_EQ(t.wMilliseconds, 999);
  const platform::SystemTime back = platform::FieldsOf(t);
  EXPECT_EQ(std::tie(back.year, back.month, back.dayOfWeek, back.day, back.hour, back.minute,
                     back.second, back.milliseconds),
            std::tie(fields.year, fields.month, fields.dayOfWeek, fields.day, fields.hour,
                     fields.minute, fields.second, fields.milliseconds));
}
#endif

TEST(SystemClock, GivesAPlausibleLocalTime) {
  const platform::SystemTime t = platform::SystemClock().LocalTime();
  EXPECT_GE(t.year, 2020);
  EXPECT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31);
  EXPECT_TRUE(t.hour <= 23 && t.minute <= 59 && t.second <= 59 && t.milliseconds <= 999);
  EXPECT_LE(t.dayOfWeek, 6);
  // Today's value from the real clock has the weekday the clock reports.
  EXPECT_EQ(WeekdayNumber(DateFromParts(t.year, t.month, t.day)), t.dayOfWeek + 1);
}

// The file-time example against the real zone: whichever season it is now decides the
// offset, also for a January file time.
TEST(SystemClock, FileTimesTakeTheBiasInForceNow) {
  const platform::TimeZoneInfo zone = platform::SystemClock().TimeZone();
  const std::int32_t bias =
      zone.bias +
      (zone.resultCode == platform::kTimeZoneIdDaylight ? zone.daylightBias : zone.standardBias);
  const double utc = 37636 + 11 / 24.0;  // 2003-01-15 11:00 UTC
  const double local = LocalFromFileTime(kJanuaryFileTime, platform::SystemClock());
  EXPECT_NEAR(local, utc - bias / 1440.0, 1e-9);
  ::testing::Test::RecordProperty("bias", bias);
}

}  // namespace

#ifndef _WIN32
// The POSIX backend reports zones in the shape Windows does. Run under faketime with a
// summer and a winter date to see both seasons (tests/platform/locale-roundtrip.sh does).
#include <stdlib.h>
#include <time.h>

namespace {

class ZoneTest : public ::testing::Test {
 protected:
  ~ZoneTest() override {
    if (saved_)
      setenv("TZ", saved_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }
  void UseZone(const char* zone) {
    setenv("TZ", zone, 1);
    tzset();
  }
  static bool DaylightNow() {
    const time_t now = time(nullptr);
    tm t{};
    localtime_r(&now, &t);
    return t.tm_isdst > 0;
  }

 private:
  std::optional<std::string> saved_ =
      getenv("TZ") ? std::optional<std::string>(getenv("TZ")) : std::nullopt;
};

TEST_F(ZoneTest, BerlinHasAnHourOfDaylightSavingOnAnHourOfStandardOffset) {
  UseZone("Europe/Berlin");
  const platform::TimeZoneInfo zone = platform::SystemClock().TimeZone();
  EXPECT_EQ(zone.bias, -60);
  EXPECT_EQ(zone.standardBias, 0);
  EXPECT_EQ(zone.daylightBias, -60);
  EXPECT_EQ(zone.resultCode, DaylightNow() ? platform::kTimeZoneIdDaylight : 1u);
  // 2003-01-15 11:00 UTC: 13:00 while summer time is in effect now, 12:00 in winter.
  const double local = LocalFromFileTime(kJanuaryFileTime, platform::SystemClock());
  EXPECT_DOUBLE_EQ(local, DaylightNow() ? 37636 + 13 / 24.0 : 37636.5);
  RecordProperty("daylight_now", DaylightNow() ? "yes" : "no");
}

TEST_F(ZoneTest, ZonesWithoutDaylightSaving) {
  UseZone("UTC");
  platform::TimeZoneInfo zone = platform::SystemClock().TimeZone();
  EXPECT_TRUE(zone.bias == 0 && zone.daylightBias == 0 && zone.resultCode == 0);
  UseZone("Asia/Kolkata");
  zone = platform::SystemClock().TimeZone();
  EXPECT_TRUE(zone.bias == -330 && zone.daylightBias == 0 && zone.resultCode == 0);
}

// A running scheduler sees a change of zone at its next reading of the clock, as the
// system's own clock does on Windows: no call of tzset by anyone else is needed.
TEST_F(ZoneTest, TheClockSeesAChangeOfZoneAtItsNextReading) {
  UseZone("UTC");
  const auto hourIn = [](const char* zone) {
    setenv("TZ", zone, 1);  // as a changed zone file would be seen: no tzset here
    return platform::SystemClock().LocalTime().hour;
  };
  for (int attempt = 0; attempt < 3; ++attempt) {  // an hour may turn between the readings
    const int utc = hourIn("UTC");
    const int tokyo = hourIn("Asia/Tokyo");
    if (hourIn("UTC") != utc) continue;
    EXPECT_EQ(tokyo, (utc + 9) % 24);
    return;
  }
  FAIL() << "the hour kept turning";
}

TEST_F(ZoneTest, SouthernSummer) {
  UseZone("Australia/Sydney");
  const platform::TimeZoneInfo zone = platform::SystemClock().TimeZone();
  EXPECT_EQ(zone.bias, -600);
  EXPECT_EQ(zone.daylightBias, -60);
  EXPECT_EQ(zone.resultCode, DaylightNow() ? platform::kTimeZoneIdDaylight : 1u);
}

}  // namespace
#endif
