// The lister's texts: --now, ISO 8601 moments, schedules and spans in words.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "fakes/FakeClock.h"
#include "lister/Moments.h"
#include "lister/ScheduleWords.h"

namespace {

TEST(ParseLocalMoment, ReadsIsoLocalTimesAndATimeOfToday) {
  platform::SystemTime today;
  today.year = 2026, today.month = 12, today.day = 9;
  struct Case {
    const char* text;
    const char* expected;  // "y-m-d h:m:s.ms wd", or nullptr when refused
  } cases[] = {
      {"2026-12-09T14:29:00", "2026-12-9 14:29:0.0 3"},
      {"2026-12-09 14:29", "2026-12-9 14:29:0.0 3"},
      {"2026-12-09t14:29:05.25", "2026-12-9 14:29:5.250 3"},
      {"2026-12-12", "2026-12-12 0:0:0.0 6"},
      {"22:00", "2026-12-9 22:0:0.0 3"},
      {"07:30:15", "2026-12-9 7:30:15.0 3"},
      {"2028-02-29T00:00", "2028-2-29 0:0:0.0 2"},
      {"2027-02-29T00:00", nullptr},
      {"2026-13-01", nullptr},
      {"2026-12-09T24:00", nullptr},
      {"2026-12-09T14:60", nullptr},
      {"2026-12-9", nullptr},
      {"12/9/2026", nullptr},
      {"2026-12-09T14:29:00Z", nullptr},
      {"tonight", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    const auto t = ParseLocalMoment(c.text, today);
    if (!c.expected) {
      EXPECT_FALSE(t) << c.text;
      continue;
    }
    ASSERT_TRUE(t) << c.text;
    const std::string got = std::to_string(t->year) + "-" + std::to_string(t->month) + "-" +
                            std::to_string(t->day) + " " + std::to_string(t->hour) + ":" +
                            std::to_string(t->minute) + ":" + std::to_string(t->second) + "." +
                            std::to_string(t->milliseconds) + " " + std::to_string(t->dayOfWeek);
    EXPECT_EQ(got, c.expected) << c.text;
  }
}

TEST(IsoMoment, WritesTheOffsetOfTheZoneAtThatMoment) {
  FakeClock clock(2026, 12, 9);
  const DateTimeValue moment = DateFromParts(2026, 12, 9) + TimeFromParts(14, 30, 0, 0);
  EXPECT_EQ(IsoMoment(moment, clock), "2026-12-09T14:30:00+00:00");
  clock.zone.bias = -60;  // an hour east of UTC
  EXPECT_EQ(IsoMoment(moment, clock), "2026-12-09T14:30:00+01:00");
  clock.zone.daylightBias = -60;
  clock.zone.resultCode = platform::kTimeZoneIdDaylight;
  EXPECT_EQ(IsoMoment(moment, clock), "2026-12-09T14:30:00+02:00");
  clock.zone = {};
  clock.zone.bias = 330 + 0;  // 5:30 west of UTC
  EXPECT_EQ(IsoMoment(moment + TimeFromParts(0, 0, 0, 7), clock),
            "2026-12-09T14:30:00.007-05:30");
}

TEST(ScheduleInWords, NamesDaysAndTime) {
  const DateTimeValue t = TimeFromParts(14, 30, 0, 0);
  std::string thirtyOne(31, '0');
  thirtyOne[0] = thirtyOne[14] = '1';
  struct Case {
    std::string days;
    const char* words;
  } cases[] = {
      {"1111100", "Mon-Fri 14:30:00"},
      {"1010100", "Mon,Wed,Fri 14:30:00"},
      {"0000011", "Sat,Sun 14:30:00"},
      {"1101111", "Mon,Tue,Thu-Sun 14:30:00"},
      {"1111111", "every day 14:30:00"},
      {"0000000", "no day 14:30:00"},
      {"11111", "Mon-Fri 14:30:00"},
      {"", "no day 14:30:00"},
      {"1x1", "Mon,Wed 14:30:00"},
      {thirtyOne, "days 1,15 of the month 14:30:00"},
      {"00000001", "day 8 of the month 14:30:00"},
      {"111" + std::string(26, '0') + "11", "days 1-3,30,31 of the month 14:30:00"},
      {std::string(31, '1'), "every day of the month 14:30:00"},
      {std::string(40, '0') + "1", "no day 14:30:00"},
  };
  for (const Case& c : cases) EXPECT_EQ(ScheduleInWords(c.days, t, "x"), c.words) << c.days;
  EXPECT_EQ(ScheduleInWords("1111111", TimeFromParts(2, 5, 9, 0), "2:05:09 AM"),
            "every day 02:05:09");
  EXPECT_EQ(ScheduleInWords("1111111", std::nullopt, "25:00"), "every day 25:00");
  EXPECT_EQ(ScheduleInWords("1111111", DateFromParts(2000, 1, 1) + t, "1/1/2000 14:30"),
            "every day 1/1/2000 14:30");
}

TEST(SpanInWords, GivesTheTwoLargestUnits) {
  const double second = 1 / 86'400.0;
  EXPECT_EQ(SpanInWords(0), "0s");
  EXPECT_EQ(SpanInWords(59 * second), "59s");
  EXPECT_EQ(SpanInWords(60 * second), "1m 0s");
  EXPECT_EQ(SpanInWords(3'599 * second), "59m 59s");
  EXPECT_EQ(SpanInWords(3'600 * second), "1h 0m");
  EXPECT_EQ(SpanInWords(1 + 3 * 3'600 * second + 59 * second), "1d 3h");
  EXPECT_EQ(SpanInWords(-90 * second), "1m 30s");
}

}  // namespace
