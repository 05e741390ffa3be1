#include "app/ScheduleCheck.h"

#include "app/LastRunKey.h"
#include "app/Sched_main.h"
#include "foundation/DateTimeText.h"
#include "foundation/Exception.h"
#include "foundation/ParseDateTime.h"
#include "listing/Tokens.h"

namespace {

// Position (from 1) of today's flag in a `days` text: the weekday from Monday = 1 for a
// weekly text (under 8 flags), else the day of the month.
std::size_t DayPosition(const std::string& days, DateTimeValue today) {
  if (days.size() < 8) return static_cast<std::size_t>((WeekdayNumber(today) + 5) % 7 + 1);
  return SplitDate(today).day;
}

}  // namespace

void CheckSchedule(SchedContext& context) {
  const DateTimeValue scheduleWindow = TimeFromParts(0, 5, 0, 0);
  const DateTimeValue today = LocalToday(context.clock);
  const DateTimeValue nowOfDay = LocalTimeOfDay(context.clock);
  const DateTimeValue defaultLastRun = DateFromParts(1990, 1, 1);

  // Reads the count afresh each time round: the list is the program-wide one.
  for (int j = 0; j < JobList.LineCount(); ++j) {
    const Tokens job(JobList.Line(j));

    const std::string days = job.Value("days");
    const std::size_t position = DayPosition(days, today);
    if (position > days.size()) throw ERangeError("Range check error");
    const bool onToday = days[position - 1] == '1';

    const DateTimeValue t = ParseDateTime(job.Value("time"), DateAndTime, context.clock);

    const std::string cmd = job.Value("cmd");
    const std::string key = LastRunKey(cmd);
    DateTimeValue last = defaultLastRun;
    const std::string stored = LastRunStore.ValueOf(key);
    if (!stored.empty()) last = ParseDateTime(stored, DateAndTime, context.clock);

    const DateTimeValue scheduled = today + t;
    const bool due = onToday && nowOfDay > t && nowOfDay < t + scheduleWindow && last < scheduled;
    if (!due) continue;

    // Recorded and saved before the start: a job that cannot be recorded is not started.
    LastRunStore.SetValueOf(key, DateTimeText(scheduled));
    LastRunStore.SaveLines(ExeDir + StoreFileName);
    context.launcher.Start(cmd);
  }
}
