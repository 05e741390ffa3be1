#include "foundation/DateTimeValue.h"

#include <optional>

#include "foundation/CivilDays.h"
#include "foundation/Exception.h"
#include "foundation/MillisecondCount.h"

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

// A value taken apart: the day (1 = 0001-01-01) and the millisecond of that day.
struct Moment {
  std::int64_t dayNumber;
  std::int64_t msOfDay;
};

// Counts days away from 1899-12-30 from the value's whole milliseconds: below zero the
// fraction is the time of day by its magnitude, so -1.25 is the day before 1899-12-30 at 06:00.
Moment TakeApart(DateTimeValue value) {
  const std::optional<std::int64_t> count = MillisecondCount(value);
  if (!count) return {0, 0};
  const std::int64_t n = *count;
  if (n >= 0) return {n / kMsPerDay + civil::kDayNumberOfZero, n % kMsPerDay};
  return {civil::kDayNumberOfZero - (-n) / kMsPerDay, (-n) % kMsPerDay};
}

bool ValidTime(unsigned hour, unsigned minute, unsigned second, unsigned millisecond) {
  return hour <= 23 && minute <= 59 && second <= 59 && millisecond <= 999;
}

CalendarDate DateOf(std::int64_t dayNumber) {
  if (dayNumber <= 0 || dayNumber > civil::kLastDayNumber) return {};
  const civil::Date d = civil::CivilFromDayNumber(dayNumber);
  return {static_cast<std::uint16_t>(d.year), static_cast<std::uint16_t>(d.month),
          static_cast<std::uint16_t>(d.day)};
}

ClockTime TimeOf(std::int64_t msOfDay) {
  const auto m = static_cast<std::uint32_t>(msOfDay);  // [0, 86 399 999]
  return {static_cast<std::uint16_t>(m / 3'600'000), static_cast<std::uint16_t>(m / 60'000 % 60),
          static_cast<std::uint16_t>(m % 60'000 / 1'000), static_cast<std::uint16_t>(m % 1'000)};
}

int WeekdayOf(std::int64_t dayNumber) {
  // Before 0001-01-01 there is no weekday: 0 lets the name tokens show nothing.
  if (dayNumber <= 0) return 0;
  return static_cast<int>(static_cast<std::uint64_t>(dayNumber) % 7) + 1;  // day 1, 0001-01-01, was a Monday (2)
}

}  // namespace

DateTimeValue DateFromParts(std::uint16_t year, std::uint16_t month, std::uint16_t day) {
  if (!civil::ValidDate(year, month, day)) throw ConversionError("Invalid argument to date encode");
  return static_cast<double>(civil::DayNumberFromCivil(year, month, day) -
                             civil::kDayNumberOfZero);
}

DateTimeValue TimeFromParts(std::uint16_t hour, std::uint16_t minute, std::uint16_t second,
                            std::uint16_t millisecond) {
  if (!ValidTime(hour, minute, second, millisecond))
    throw ConversionError("Invalid argument to time encode");
  const std::int64_t ms = hour * 3'600'000LL + minute * 60'000LL + second * 1'000LL + millisecond;
  return static_cast<double>(ms) / static_cast<double>(kMsPerDay);
}

CalendarDate SplitDate(DateTimeValue value) { return DateOf(TakeApart(value).dayNumber); }
ClockTime SplitTime(DateTimeValue value) { return TimeOf(TakeApart(value).msOfDay); }
int WeekdayNumber(DateTimeValue value) { return WeekdayOf(TakeApart(value).dayNumber); }

DateTimeParts SplitDateTime(DateTimeValue value) {
  const Moment m = TakeApart(value);
  return {DateOf(m.dayNumber), TimeOf(m.msOfDay), WeekdayOf(m.dayNumber)};
}

DateTimeValue LocalToday(const platform::Clock& clock) {
  const platform::SystemTime t = clock.LocalTime();
  return DateFromParts(t.year, t.month, t.day);
}

DateTimeValue LocalTimeOfDay(const platform::Clock& clock) {
  const platform::SystemTime t = clock.LocalTime();
  return TimeFromParts(t.hour, t.minute, t.second, t.milliseconds);
}

LocalDayAndTime LocalNow(const platform::Clock& clock) {
  const platform::SystemTime t = clock.LocalTime();
  return {DateFromParts(t.year, t.month, t.day),
          TimeFromParts(t.hour, t.minute, t.second, t.milliseconds)};
}

DateTimeValue UtcFromFileTime(std::uint64_t fileTime) {
  const auto fields = platform::SplitFileTime(fileTime);
  if (!fields) throw ConversionError("Invalid argument to date encode");
  return DateFromParts(fields->year, fields->month, fields->day) +
         TimeFromParts(fields->hour, fields->minute, fields->second, fields->milliseconds);
}

DateTimeValue LocalFromFileTime(std::uint64_t fileTime, const platform::Clock& clock) {
  // The state of daylight saving time now, not at the file time, decides the bias.
  const platform::TimeZoneInfo zone = clock.TimeZone();
  const std::int32_t bias =
      zone.bias + (zone.resultCode == platform::kTimeZoneIdDaylight ? zone.daylightBias
                                                                    : zone.standardBias);
  const double u = UtcFromFileTime(fileTime);
  const double shift = static_cast<double>(bias * (1.0L / 1440.0L));
  return u - shift;
}
