#pragma once
// DateTimeValue: days since 1899-12-30 in the whole part, the time of day as a fraction of
// 24 hours. Dates run from 0001-01-01 to 9999-12-31 in the proleptic Gregorian calendar.

#include <cstdint>

#include "platform/Clock.h"

using DateTimeValue = double;

struct CalendarDate {
  std::uint16_t year = 0, month = 0, day = 0;
};
struct ClockTime {
  std::uint16_t hour = 0, minute = 0, second = 0, millisecond = 0;
};

// ConversionError "Invalid argument to date encode" outside the calendar.
DateTimeValue DateFromParts(std::uint16_t year, std::uint16_t month, std::uint16_t day);
// ConversionError "Invalid argument to time encode" outside 23:59:59.999.
DateTimeValue TimeFromParts(std::uint16_t hour, std::uint16_t minute, std::uint16_t second,
                            std::uint16_t millisecond);

// Both round the value to whole milliseconds first (ties to even); never fail.
CalendarDate SplitDate(DateTimeValue value);
ClockTime SplitTime(DateTimeValue value);
// 1 = Sunday .. 7 = Saturday; 0 before 0001-01-01, where there is no weekday.
int WeekdayNumber(DateTimeValue value);

// All three of the above from one rounding of the value, for the text form.
struct DateTimeParts {
  CalendarDate date;
  ClockTime time;
  int weekday = 0;
};
DateTimeParts SplitDateTime(DateTimeValue value);

// Each reads the clock on its own.
DateTimeValue LocalToday(const platform::Clock& clock);
DateTimeValue LocalTimeOfDay(const platform::Clock& clock);
// Both from one reading: read apart, the two sides of a midnight make a moment a day off.
struct LocalDayAndTime {
  DateTimeValue today = 0, timeOfDay = 0;
};
LocalDayAndTime LocalNow(const platform::Clock& clock);
// A UTC file time as a value, still in UTC. ConversionError "Invalid argument to date encode"
// when the file time cannot be split or its year lies past the calendar.
DateTimeValue UtcFromFileTime(std::uint64_t fileTime);
// A UTC file time as local time, with the bias in force now applied whatever its season;
// raises as UtcFromFileTime does.
DateTimeValue LocalFromFileTime(std::uint64_t fileTime, const platform::Clock& clock);
