#include "foundation/DateTimeValue.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "fakes/ErrorMessage.h"
#include "fakes/FakeClock.h"
#include "fakes/FileTimeExample.h"
#include "foundation/Exception.h"

namespace {

TEST(DateFromParts, GivesExactWholeDays) {
  struct Case {
    int y, m, d;
    double value;
  } cases[] = {{1899, 12, 30, 0},   {1900, 1, 1, 2},        {1990, 1, 1, 32874},
               {2003, 7, 14, 37816}, {1, 1, 1, -693593},     {9999, 12, 31, 2958465},
               {2000, 2, 29, 36585}, {1600, 2, 29, -109512}, {2024, 12, 31, 45657}};
  for (const auto& c : cases) {
    EXPECT_EQ(DateFromParts(c.y, c.m, c.d), c.value) << c.y << "-" << c.m << "-" << c.d;
  }
}

TEST(DateFromParts, RefusesDatesOutsideTheCalendar) {
  const int bad[][3] = {{2003, 2, 29}, {1900, 2, 29}, {0, 1, 1},   {10000, 1, 1},
                        {2003, 0, 1},  {2003, 13, 1}, {2003, 4, 31}, {2003, 1, 0}};
  for (const auto& b : bad) {
    EXPECT_EQ(MessageOf<ConversionError>([&] { DateFromParts(b[0], b[1], b[2]); }),
              "Invalid argument to date encode")
        << b[0] << "-" << b[1] << "-" << b[2];
  }
}

TEST(TimeFromParts, DividesMillisecondsByADay) {
  EXPECT_EQ(TimeFromParts(0, 5, 0, 0), 300000.0 / 86400000.0);
  EXPECT_EQ(TimeFromParts(10, 30, 0, 0), 0.4375);
  EXPECT_EQ(TimeFromParts(23, 59, 59, 999), 86399999.0 / 86400000.0);
  for (const auto& b : {std::array{24, 0, 0, 0}, std::array{0, 60, 0, 0},
                        std::array{0, 0, 60, 0}, std::array{0, 0, 0, 1000}}) {
    EXPECT_EQ(MessageOf<ConversionError>([&] { TimeFromParts(b[0], b[1], b[2], b[3]); }),
              "Invalid argument to time encode");
  }
}

// Every day from 0001-01-01 to 9999-12-31: the split gives back the parts, consecutive dates
// have consecutive values, and the weekday advances by one.
TEST(CalendarSweep, EveryDayOfTenThousandYearsRoundTrips) {
  double expected = -693593;
  int weekday = WeekdayNumber(expected);
  EXPECT_EQ(weekday, 2);  // 0001-01-01 was a Monday
  for (int y = 1; y <= 9999; ++y) {
    for (int m = 1; m <= 12; ++m) {
      static constexpr int kLength[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
      const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
      const int days = m == 2 && leap ? 29 : kLength[m - 1];
      for (int d = 1; d <= days; ++d) {
        const double v = DateFromParts(y, m, d);
        ASSERT_EQ(v, expected) << y << "-" << m << "-" << d;
        const CalendarDate split = SplitDate(v >= 0 ? v + 0.75 : v - 0.75);
        ASSERT_TRUE(split.year == y && split.month == m && split.day == d) << v;
        ASSERT_EQ(WeekdayNumber(v), weekday) << v;
        expected += 1;
        weekday = weekday % 7 + 1;
      }
    }
  }
  EXPECT_EQ(expected, 2958466);
}

TEST(SplitDate, RoundsToTheMillisecondFirst) {
  const double lastMsOfDay = 37816 + 86399999.0 / 86400000.0;
  const double nearlyMidnight = 37816 + (86400000.0 - 0.4) / 86400000.0;
  const CalendarDate before = SplitDate(lastMsOfDay);
  const CalendarDate after = SplitDate(nearlyMidnight);
  EXPECT_EQ(before.day, 14);
  EXPECT_EQ(after.day, 15);
  EXPECT_EQ(WeekdayNumber(nearlyMidnight), 3);  // Tuesday
  const ClockTime t = SplitTime(nearlyMidnight);
  EXPECT_TRUE(t.hour == 0 && t.minute == 0 && t.second == 0 && t.millisecond == 0);
}

TEST(SplitDate, TiesGoToTheEvenMillisecond) {
  // k/2048 of a day is exactly k * 42187.5 ms: a tie for every odd k.
  EXPECT_EQ(SplitTime(1.0 / 2048).millisecond, 188);  // 42187.5 -> 42188
  EXPECT_EQ(SplitTime(3.0 / 2048).millisecond, 562);  // 126562.5 -> 126562
  EXPECT_EQ(SplitTime(-3.0 / 2048).millisecond, 562);
}

TEST(SplitDate, NegativeValuesCountTimeByMagnitude) {
  const CalendarDate d = SplitDate(-1.25);
  const ClockTime t = SplitTime(-1.25);
  EXPECT_TRUE(d.year == 1899 && d.month == 12 && d.day == 29);
  EXPECT_EQ(t.hour, 6);
  EXPECT_EQ(WeekdayNumber(-1.25), 6);  // Friday
  const CalendarDate first = SplitDate(-693593);
  EXPECT_TRUE(first.year == 1 && first.month == 1 && first.day == 1);
}

TEST(SplitDate, BeforeTheFirstDayGivesZerosAndNoWeekday) {
  for (double v : {-693594.0, -800000.0, -1e300, double(NAN), double(INFINITY)}) {
    const CalendarDate d = SplitDate(v);
    EXPECT_TRUE(d.year == 0 && d.month == 0 && d.day == 0) << v;
    EXPECT_EQ(WeekdayNumber(v), 0) << v;
  }
}

TEST(SplitTime, TakesTheDayApart) {
  const ClockTime t = SplitTime(37816 + TimeFromParts(21, 5, 7, 123));
  EXPECT_EQ(t.hour, 21);
  EXPECT_EQ(t.minute, 5);
  EXPECT_EQ(t.second, 7);
  EXPECT_EQ(t.millisecond, 123);
}

TEST(WeekdayNumber, KnownDays) {
  EXPECT_EQ(WeekdayNumber(0), 7);
  EXPECT_EQ(WeekdayNumber(2), 2);
  EXPECT_EQ(WeekdayNumber(37816), 2);
  EXPECT_EQ(WeekdayNumber(37816.9), 2);
}

TEST(LocalClock, TodayAndTimeOfDayComeFromTheClock) {
  FakeClock clock(2003, 7, 14, 9, 5, 7, 250);
  EXPECT_EQ(LocalToday(clock), 37816);
  EXPECT_EQ(LocalTimeOfDay(clock), TimeFromParts(9, 5, 7, 250));
}

TEST(LocalFromFileTime, AppliesTheBiasInForceNow) {
  FakeClock clock(2003, 7, 14);
  clock.zone = {-60, 0, -60, platform::kTimeZoneIdDaylight};
  EXPECT_DOUBLE_EQ(LocalFromFileTime(kJanuaryFileTime, clock), 37636 + 13.0 / 24);
  EXPECT_NEAR(LocalFromFileTime(kJanuaryFileTime, clock), 37636.5416666, 1e-7);
  clock.zone.resultCode = 1;  // standard time now
  EXPECT_EQ(LocalFromFileTime(kJanuaryFileTime, clock), 37636.5);
  clock.zone.resultCode = 0xFFFFFFFF;  // the query failed: the standard bias still applies
  EXPECT_EQ(LocalFromFileTime(kJanuaryFileTime, clock), 37636.5);
}

TEST(LocalFromFileTime, KeepsMillisecondsAndRefusesYearsPastTheCalendar) {
  FakeClock clock(2003, 7, 14);
  const ClockTime t = SplitTime(LocalFromFileTime(kJanuaryFileTime + 1234567, clock));
  EXPECT_EQ(t.millisecond, 123);
  // 10000-01-01 UTC.
  EXPECT_EQ(MessageOf<ConversionError>([&] { LocalFromFileTime(2650467744000000000ULL, clock); }),
            "Invalid argument to date encode");
  EXPECT_EQ(MessageOf<ConversionError>([&] { LocalFromFileTime(~0ULL, clock); }),
            "Invalid argument to date encode");
}

}  // namespace
