#include "app/DueRule.h"

#include "foundation/Exception.h"
#include "foundation/ParseDateTime.h"

DateTimeValue ScheduleWindow() { return TimeFromParts(0, 5, 0, 0); }

DateTimeValue DefaultLastRun() { return DateFromParts(1990, 1, 1); }

std::size_t DayPosition(const std::string& days, DateTimeValue date) {
  if (days.size() < 8) return static_cast<std::size_t>((WeekdayNumber(date) + 5) % 7 + 1);
  return SplitDate(date).day;
}

bool IsOnDay(const std::string& days, DateTimeValue date) {
  const std::size_t position = DayPosition(days, date);
  if (position > days.size()) throw ERangeError("Range check error");
  return days[position - 1] == '1';
}

DateTimeValue LastRunFromText(const std::string& stored, const platform::Clock& clock) {
  return stored.empty() ? DefaultLastRun() : ParseDateTime(stored, ParseKind::DateAndTime, clock);
}

bool IsDue(bool onToday, DateTimeValue today, DateTimeValue nowOfDay, DateTimeValue t,
           DateTimeValue lastRun) {
  return onToday && nowOfDay > t && nowOfDay < t + ScheduleWindow() && lastRun < today + t;
}
