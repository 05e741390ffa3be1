#include "app/ScheduleCheck.h"

#include "app/DueRule.h"
#include "app/LastRunKey.h"
#include "foundation/DateTimeText.h"

void CheckSchedule(SchedContext& context) {
  SchedState& state = context.state;
  // One reading of the clock: read apart, the two sides of a midnight make a moment a day off.
  const auto [today, nowOfDay] = LocalNow(context.clock);
  const ScheduleDay day(today);

  state.readings.BeginTick(SplitDate(today).year, state.JobList);
  for (int j = 0; j < state.JobList.LineCount(); ++j) {
    const TickReading& job =
        state.readings.Job(j, state.JobList, state.LastRunStore, context.clock);
    // A job that cannot be read, or whose days hold no flag for today, ends the tick here.
    if (const std::exception_ptr error = job.TickError(day)) std::rethrow_exception(error);
    if (!IsDue(IsOnDay(job.days, day), today, nowOfDay, job.t, job.lastRun)) continue;

    // Recorded and saved before the start: a job that cannot be recorded is not started.
    const std::string cmd = JobReadings::Command(j, state.JobList);
    state.LastRunStore.SetValueOf(LastRunKey(cmd), DateTimeText(today + job.t));
    SaveLinesInto(state.LastRunStore, state.Program(), StoreFileName);
    context.launcher.Start(cmd);
  }
}
