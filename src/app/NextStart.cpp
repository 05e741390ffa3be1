#include "app/NextStart.h"

#include <algorithm>

#include "app/DueRule.h"

namespace {

// Every weekday and every day of the month (the 31st included) comes round within 62 days.
constexpr int kEveryFlagComesRoundDays = 62;

// Whether `days` flags any day at all, the days without a flag aside.
bool FlagsSomeDay(const std::string& days, DateTimeValue today) {
  for (int offset = 0; offset < kEveryFlagComesRoundDays; ++offset) {
    const DateTimeValue day = today + offset;
    if (HasFlagFor(days, day) && IsOnDay(days, day)) return true;
  }
  return false;
}

// The first tick of a day after `t`: ticks read the clock in whole milliseconds, and no
// tick comes before midnight.
DateTimeValue FirstTickAfter(DateTimeValue t) {
  return std::max(t, DateTimeValue{0}) + TimeFromParts(0, 0, 0, 1);
}

}  // namespace

std::vector<DateTimeValue> NextStarts(const std::string& days, DateTimeValue t,
                                      DateTimeValue lastRun, DateTimeValue today,
                                      DateTimeValue nowOfDay, int count,
                                      const ReachesJob& reaches) {
  std::vector<DateTimeValue> starts;
  if (count <= 0 || !FlagsSomeDay(days, today)) return starts;
  const DateTimeValue firstTick = FirstTickAfter(t);
  // A time whose window no tick of a day can fall in (past midnight, or a time that also
  // carries a date) is due on no later day; today may still have its window open.
  const bool dueOnLaterDays = firstTick < 1 && InWindow(firstTick, t);
  for (int offset = 0; offset <= kNextStartHorizonDays; ++offset) {
    if (offset > 0 && !dueOnLaterDays) break;
    const DateTimeValue day = today + offset;
    const DateTimeValue tick = offset == 0 && nowOfDay > t ? nowOfDay : firstTick;
    if (tick >= 1 || !reaches(day, tick)) continue;
    if (!IsDue(IsOnDay(days, day), day, tick, t, lastRun)) continue;
    starts.push_back(day + t);
    if (static_cast<int>(starts.size()) == count) break;
    lastRun = day + t;  // what the store holds after the start
  }
  return starts;
}
