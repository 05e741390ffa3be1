#include "app/ScheduleCheck.h"

#include "app/JobReadings.h"
#include "app/Sched_main.h"
#include "foundation/DateTimeText.h"
#include "foundation/Exception.h"
#include "foundation/ParseDateTime.h"

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

  static JobReadings readings;
  readings.BeginTick(SplitDate(today).year, JobList);
  for (int j = 0; j < JobList.LineCount(); ++j) {
    JobReading& job = readings.Job(j, JobList);

    const std::size_t position = DayPosition(job.days, today);
    if (position > job.days.size()) throw ERangeError("Range check error");
    const bool onToday = job.days[position - 1] == '1';

    if (!job.time) job.time = ParseDateTime(job.timeText, DateAndTime, context.clock);
    const DateTimeValue t = *job.time;

    if (!job.lastRun || job.lastRunGeneration != LastRunStore.Generation()) {
      const std::string stored = LastRunStore.ValueOf(job.Key());
      job.lastRun =
          stored.empty() ? defaultLastRun : ParseDateTime(stored, DateAndTime, context.clock);
      job.lastRunGeneration = LastRunStore.Generation();
    }

    const DateTimeValue scheduled = today + t;
    const bool due =
        onToday && nowOfDay > t && nowOfDay < t + scheduleWindow && *job.lastRun < scheduled;
    if (!due) continue;

    // Recorded and saved before the start: a job that cannot be recorded is not started.
    LastRunStore.SetValueOf(job.Key(), DateTimeText(scheduled));
    LastRunStore.SaveLines(ExeDir + StoreFileName);
    context.launcher.Start(job.cmd);
  }
}
