#include "app/ScheduleCheck.h"

#include "app/DueRule.h"
#include "foundation/DateTimeText.h"

void CheckSchedule(SchedContext& context) {
  SchedState& state = context.state;
  const DateTimeValue today = LocalToday(context.clock);
  const DateTimeValue nowOfDay = LocalTimeOfDay(context.clock);

  state.readings.BeginTick(SplitDate(today).year, state.JobList);
  for (int j = 0; j < state.JobList.LineCount(); ++j) {
    JobReading& job = state.readings.Job(j, state.JobList);
    const bool onToday = IsOnDay(job.days, today);
    const DateTimeValue t = state.readings.Time(j, state.JobList, context.clock);
    const DateTimeValue lastRun = state.readings.LastRun(j, state.LastRunStore, context.clock);
    if (!IsDue(onToday, today, nowOfDay, t, lastRun)) continue;

    // Recorded and saved before the start: a job that cannot be recorded is not started.
    state.LastRunStore.SetValueOf(job.Key(), DateTimeText(today + t));
    state.LastRunStore.SaveLines(state.StorePath());
    context.launcher.Start(job.cmd);
  }
}
