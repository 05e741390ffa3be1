#include "app/ScheduleCheck.h"

#include "app/DueRule.h"
#include "app/LastRunKey.h"
#include "foundation/DateTimeText.h"

void CheckSchedule(SchedContext& context) {
  SchedState& state = context.state;
  const DateTimeValue today = LocalToday(context.clock);
  const DateTimeValue nowOfDay = LocalTimeOfDay(context.clock);

  state.readings.BeginTick(SplitDate(today).year, state.JobList);
  for (int j = 0; j < state.JobList.LineCount(); ++j) {
    const bool onToday = IsOnDay(state.readings.Days(j, state.JobList), today);
    const DateTimeValue t = state.readings.Time(j, state.JobList, context.clock);
    const DateTimeValue lastRun =
        state.readings.LastRun(j, state.JobList, state.LastRunStore, context.clock);
    if (!IsDue(onToday, today, nowOfDay, t, lastRun)) continue;

    // Recorded and saved before the start: a job that cannot be recorded is not started.
    const std::string cmd = JobReadings::Command(j, state.JobList);
    state.LastRunStore.SetValueOf(LastRunKey(cmd), DateTimeText(today + t));
    SaveLinesInto(state.LastRunStore, state.Program(), StoreFileName);
    context.launcher.Start(cmd);
  }
}
