#include "app/DueRule.h"

#include "foundation/Exception.h"
#include "foundation/ParseDateTime.h"

DateTimeValue ScheduleWindow() { return TimeFromParts(0, 5, 0, 0); }

DateTimeValue DefaultLastRun() { return DateFromParts(1990, 1, 1); }

bool IsWeekly(const std::string& days) { return days.size() < 8; }

namespace {

std::size_t WeekdayFromMonday(DateTimeValue date) {
  return static_cast<std::size_t>((WeekdayNumber(date) + 5) % 7 + 1);
}

// Index (from 0) of the flag for a day (a date, or a ScheduleDay); npos when the text holds
// none.
template <typename Day>
std::size_t FlagIndex(const std::string& days, const Day& day) {
  const std::size_t position = DayPosition(days, day);
  return position <= days.size() ? position - 1 : std::string::npos;
}

template <typename Day>
bool IsOnDayOf(const std::string& days, const Day& day) {
  const std::size_t index = FlagIndex(days, day);
  if (index == std::string::npos) throw ERangeError(kRangeCheckError);
  return days[index] == '1';
}

}  // namespace

ScheduleDay::ScheduleDay(DateTimeValue date)
    : weekday(WeekdayFromMonday(date)), monthDay(SplitDate(date).day) {}

std::size_t DayPosition(const std::string& days, DateTimeValue date) {
  return IsWeekly(days) ? WeekdayFromMonday(date) : SplitDate(date).day;
}
std::size_t DayPosition(const std::string& days, const ScheduleDay& day) {
  return IsWeekly(days) ? day.weekday : day.monthDay;
}

bool HasFlagFor(const std::string& days, DateTimeValue date) {
  return FlagIndex(days, date) != std::string::npos;
}
bool HasFlagFor(const std::string& days, const ScheduleDay& day) {
  return FlagIndex(days, day) != std::string::npos;
}

bool IsOnDay(const std::string& days, DateTimeValue date) { return IsOnDayOf(days, date); }
bool IsOnDay(const std::string& days, const ScheduleDay& day) { return IsOnDayOf(days, day); }

DateTimeValue LastRunFromText(const std::string& stored, const platform::Clock& clock) {
  return stored.empty() ? DefaultLastRun() : ParseDateTime(stored, ParseKind::DateAndTime, clock);
}

bool InWindow(DateTimeValue nowOfDay, DateTimeValue t) {
  return nowOfDay > t && nowOfDay < t + ScheduleWindow();
}

bool WindowPassed(DateTimeValue nowOfDay, DateTimeValue t) {
  return !(nowOfDay < t + ScheduleWindow());
}

bool RunRecorded(DateTimeValue lastRun, DateTimeValue day, DateTimeValue t) {
  return !(lastRun < day + t);
}

bool IsDue(bool onToday, DateTimeValue today, DateTimeValue nowOfDay, DateTimeValue t,
           DateTimeValue lastRun) {
  return onToday && InWindow(nowOfDay, t) && !RunRecorded(lastRun, today, t);
}
