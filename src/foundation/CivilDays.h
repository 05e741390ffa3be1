#pragma once
// Day numbers of the Gregorian calendar carried back to year 1: day number 1 is 0001-01-01.
// Straight-line integer arithmetic over 400-year cycles (146 097 days each), no loops.

#include <cstdint>

namespace civil {

struct Date {
  int year, month, day;
};

inline constexpr bool IsLeapYear(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

inline constexpr int DaysInMonth(int y, int m) {
  constexpr int kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeapYear(y) ? 29 : kLength[m - 1];
}

// Years 1 to 9999, the range of date values.
inline constexpr bool ValidDate(int y, int m, int d) {
  return y >= 1 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= DaysInMonth(y, m);
}

// Day number of a date, for 1 <= y <= 65535 and a valid month and day.
inline constexpr std::int64_t DayNumberFromCivil(int y, int m, int d) {
  constexpr int kDaysBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  const std::int64_t years = y - 1;                                  // [0, 65534]
  const int leapDay = m > 2 && IsLeapYear(y) ? 1 : 0;                // [0, 1]
  const int dayOfYear = kDaysBefore[m - 1] + leapDay + d;            // [1, 366]
  return years * 365 + years / 4 - years / 100 + years / 400 + dayOfYear;  // [1, 23 936 166]
}

// The date of a day number in [1, kLastDayNumber] (the inverse of DayNumberFromCivil).
inline constexpr Date CivilFromDayNumber(std::int64_t dayNumber) {
  // Count from 0000-03-01 so that the leap day closes each year of the cycle. Every day
  // number of a 16-bit year fits 32 bits.
  const std::uint32_t z = static_cast<std::uint32_t>(dayNumber) + 305;  // [306, 23 936 471]
  const std::uint32_t era = z / 146097;                              // [0, 163]
  const std::uint32_t doe = z - era * 146097;                        // [0, 146096]
  const std::uint32_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // [0, 399]
  const std::uint32_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);  // [0, 365]
  const std::uint32_t mp = (5 * doy + 2) / 153;                      // [0, 11], 0 = March
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);      // [1, 31]
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);         // [1, 12]
  const int y = static_cast<int>(era * 400 + yoe) + (m <= 2 ? 1 : 0);  // [1, 65535]
  return {y, m, d};
}

// 1899-12-30, the day of value 0.
inline constexpr std::int64_t kDayNumberOfZero = 693594;
// The last day whose year still fits the 16-bit year of the calendar parts.
inline constexpr std::int64_t kLastDayNumber = DayNumberFromCivil(65535, 12, 31);

static_assert(DayNumberFromCivil(1899, 12, 30) == kDayNumberOfZero);
static_assert(CivilFromDayNumber(1).year == 1 && CivilFromDayNumber(1).day == 1);

}  // namespace civil
