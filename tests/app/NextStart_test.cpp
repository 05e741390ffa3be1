#include "app/NextStart.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/DueRule.h"

namespace {

// "2026-12-09 14:30:00", to compare moments by their calendar fields.
std::string Text(DateTimeValue value) {
  const DateTimeParts p = SplitDateTime(value);
  char text[48];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", unsigned{p.date.year},
                unsigned{p.date.month}, unsigned{p.date.day}, unsigned{p.time.hour},
                unsigned{p.time.minute}, unsigned{p.time.second});
  return text;
}

DateTimeValue Day(int y, int m, int d) {
  return DateFromParts(static_cast<std::uint16_t>(y), static_cast<std::uint16_t>(m),
                       static_cast<std::uint16_t>(d));
}
DateTimeValue Time(int h, int m, int s, int ms = 0) {
  return TimeFromParts(static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(m),
                       static_cast<std::uint16_t>(s), static_cast<std::uint16_t>(ms));
}

// Day-of-month flags with '1' at the given positions, `length` flags in all.
std::string MonthFlags(std::size_t length, std::initializer_list<std::size_t> positions) {
  std::string days(length, '0');
  for (const std::size_t p : positions) days[p - 1] = '1';
  return days;
}

// Every day reached: the jobs before this one never fail (the days its flags leave out
// aside, on which IsOnDay would raise).
std::vector<DateTimeValue> Next(const std::string& days, DateTimeValue t, DateTimeValue lastRun,
                                DateTimeValue today, DateTimeValue nowOfDay, int count) {
  return NextStarts(days, t, lastRun, today, nowOfDay, count,
                    [&](DateTimeValue day, DateTimeValue) { return HasFlagFor(days, day); });
}

std::vector<std::string> Texts(const std::vector<DateTimeValue>& values) {
  std::vector<std::string> texts;
  for (const DateTimeValue v : values) texts.push_back(Text(v));
  return texts;
}

TEST(NextStarts, FollowTheDueRule) {
  const DateTimeValue wednesday = Day(2026, 12, 9);
  const DateTimeValue t1430 = Time(14, 30, 0);
  const DateTimeValue never = DefaultLastRun();
  struct Case {
    const char* label;
    std::string days;
    DateTimeValue t, lastRun, today, nowOfDay;
    int count;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"weekly, before the time: today, then the following weekdays", "1111100", t1430, never,
       wednesday, Time(14, 29, 0), 4,
       {"2026-12-09 14:30:00", "2026-12-10 14:30:00", "2026-12-11 14:30:00",
        "2026-12-14 14:30:00"}},
      {"at the time itself the first tick after it is still to come", "1111100", t1430, never,
       wednesday, t1430, 1, {"2026-12-09 14:30:00"}},
      {"inside the window: due, today's start", "1111100", t1430, never, wednesday,
       Time(14, 30, 30), 1, {"2026-12-09 14:30:00"}},
      {"last moment of the window", "1111100", t1430, never, wednesday, Time(14, 34, 59, 999), 1,
       {"2026-12-09 14:30:00"}},
      {"window over at exactly five minutes: tomorrow", "1111100", t1430, never, wednesday,
       Time(14, 35, 0), 1, {"2026-12-10 14:30:00"}},
      {"the store holds today's start: tomorrow", "1111100", t1430, wednesday + t1430, wednesday,
       Time(14, 30, 30), 1, {"2026-12-10 14:30:00"}},
      {"the store holds yesterday's start: today", "1111100", t1430,
       wednesday - 1 + t1430, wednesday, Time(14, 30, 30), 1, {"2026-12-09 14:30:00"}},
      {"the store holds a later start: the first day after it", "1111111", t1430,
       Day(2026, 12, 20) + t1430, wednesday, Time(9, 0, 0), 1, {"2026-12-21 14:30:00"}},
      {"Friday after the window: Monday", "1111100", t1430, never, Day(2026, 12, 11),
       Time(15, 0, 0), 1, {"2026-12-14 14:30:00"}},
      {"Sunday only", "0000001", Time(2, 0, 0), never, wednesday, Time(9, 0, 0), 2,
       {"2026-12-13 02:00:00", "2026-12-20 02:00:00"}},
      {"five flags: Saturday and Sunday hold none", "11111", t1430, never, Day(2026, 12, 12),
       Time(9, 0, 0), 1, {"2026-12-14 14:30:00"}},
      {"the 31st: months of 30 days and February are skipped", MonthFlags(31, {31}), t1430,
       never, wednesday, Time(9, 0, 0), 3,
       {"2026-12-31 14:30:00", "2027-01-31 14:30:00", "2027-03-31 14:30:00"}},
      {"the 30th skips February", MonthFlags(31, {30}), t1430, never, Day(2027, 1, 31),
       Time(9, 0, 0), 2, {"2027-03-30 14:30:00", "2027-04-30 14:30:00"}},
      {"the 29th: not in February of a common year", MonthFlags(31, {29}), t1430, never,
       Day(2027, 2, 1), Time(9, 0, 0), 1, {"2027-03-29 14:30:00"}},
      {"the 29th: in February of a leap year", MonthFlags(31, {29}), t1430, never,
       Day(2028, 2, 1), Time(9, 0, 0), 1, {"2028-02-29 14:30:00"}},
      {"the 29th in 2100, no leap year", MonthFlags(31, {29}), t1430, never, Day(2100, 2, 1),
       Time(9, 0, 0), 1, {"2100-03-29 14:30:00"}},
      {"29 flags reach the 29th of February 2028 only in leap years", MonthFlags(29, {29}),
       t1430, never, Day(2028, 2, 28), Time(9, 0, 0), 1, {"2028-02-29 14:30:00"}},
      {"eight flags are days of the month: the 8th", "00000001", t1430, never, wednesday,
       Time(9, 0, 0), 1, {"2027-01-08 14:30:00"}},
      {"days 1 and 15", MonthFlags(31, {1, 15}), Time(2, 30, 0), never, wednesday,
       Time(9, 0, 0), 3, {"2026-12-15 02:30:00", "2027-01-01 02:30:00", "2027-01-15 02:30:00"}},
      {"23:58 is due until midnight only: from 00:01 the next night", "1111111",
       Time(23, 58, 0), never, Day(2026, 12, 10), Time(0, 1, 0), 1, {"2026-12-10 23:58:00"}},
      {"23:58, inside its window before midnight", "1111111", Time(23, 58, 0), never, wednesday,
       Time(23, 59, 30), 2, {"2026-12-09 23:58:00", "2026-12-10 23:58:00"}},
      {"no flag set", "0000000", t1430, never, wednesday, Time(9, 0, 0), 1, {}},
      {"day-of-month flags all 0", MonthFlags(31, {}), t1430, never, wednesday, Time(9, 0, 0),
       1, {}},
      {"flags only beyond the 31st", MonthFlags(40, {35}), t1430, never, wednesday,
       Time(9, 0, 0), 1, {}},
      {"an empty days text flags nothing", "", t1430, never, wednesday, Time(9, 0, 0), 1, {}},
      {"a time that carries a date is never due", "1111111", Day(2000, 1, 1) + t1430, never,
       wednesday, Time(9, 0, 0), 1, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Texts(Next(c.days, c.t, c.lastRun, c.today, c.nowOfDay, c.count)), c.expected)
        << c.label;
}

TEST(NextStarts, SkipTheDaysOnWhichTheJobIsNotReached) {
  const DateTimeValue wednesday = Day(2026, 12, 9);
  // Say a job before it fails on Thursdays and Fridays.
  const auto starts = NextStarts(
      "1111111", Time(14, 30, 0), DefaultLastRun(), wednesday, Time(15, 0, 0), 2,
      [](DateTimeValue day, DateTimeValue) {
        const int weekday = WeekdayNumber(day);  // Sunday = 1
        return weekday != 5 && weekday != 6;
      });
  EXPECT_EQ(Texts(starts),
            (std::vector<std::string>{"2026-12-12 14:30:00", "2026-12-13 14:30:00"}));
}

TEST(NextStarts, AskWhetherTheJobIsReachedAtTheTickThatStartsIt) {
  const DateTimeValue wednesday = Day(2026, 12, 9), t = Time(14, 30, 0);
  std::vector<std::string> ticks;
  NextStarts("1111111", t, DefaultLastRun(), wednesday, Time(14, 31, 0), 2,
             [&](DateTimeValue day, DateTimeValue tick) {
               ticks.push_back(Text(day + tick));
               return true;
             });
  // Today the next tick (now, inside the window); tomorrow the first tick after 14:30.
  ASSERT_EQ(ticks.size(), 2u);
  EXPECT_EQ(ticks[0], "2026-12-09 14:31:00");
  EXPECT_EQ(ticks[1], "2026-12-10 14:30:00");
}

TEST(NextStarts, NoneWhenNoDayIsEverReached) {
  EXPECT_TRUE(NextStarts("1111111", Time(14, 30, 0), DefaultLastRun(), Day(2026, 12, 9),
                         Time(9, 0, 0), 1, [](DateTimeValue, DateTimeValue) { return false; })
                  .empty());
}

}  // namespace
