#pragma once
// When a listed job is due. The schedule check starts jobs by these rules and the companion
// lister foretells starts by them: one copy of the rules for both.

#include <cstddef>
#include <string>

#include "foundation/DateTimeValue.h"

// How long after its time a job may still start: five minutes.
DateTimeValue ScheduleWindow();

// The last run of a command that the store does not know: 1990-01-01 00:00.
DateTimeValue DefaultLastRun();

// Whether a `days` text flags weekdays (under 8 flags, from Monday) rather than days of the
// month.
bool IsWeekly(const std::string& days);

// A day with the positions of its flag in both kinds of `days` text worked out: the schedule
// check looks at every job for the same day, once a second.
struct ScheduleDay {
  explicit ScheduleDay(DateTimeValue date);
  std::size_t weekday;   // from Monday = 1
  std::size_t monthDay;  // from 1
};

// Position (from 1) of the flag for `date` in a `days` text: the weekday from Monday = 1 for
// a weekly text, else the day of the month.
std::size_t DayPosition(const std::string& days, DateTimeValue date);
std::size_t DayPosition(const std::string& days, const ScheduleDay& day);

// Whether `days` holds a flag for `date` at all; IsOnDay raises on the days it does not.
bool HasFlagFor(const std::string& days, DateTimeValue date);
bool HasFlagFor(const std::string& days, const ScheduleDay& day);

// Whether `days` flags `date` with '1'. ERangeError "Range check error" when the text holds
// no flag for that day (an empty text, five weekly flags on a Saturday, 30 flags on the
// 31st).
bool IsOnDay(const std::string& days, DateTimeValue date);
bool IsOnDay(const std::string& days, const ScheduleDay& day);

// The last run that a store value stands for: DefaultLastRun for the empty text, else the
// text read as a date and time (ConversionError when it cannot be read).
DateTimeValue LastRunFromText(const std::string& stored, const platform::Clock& clock);

// Whether `nowOfDay` lies in the window of a job with time of day `t`: strictly after t
// and strictly before t + ScheduleWindow.
bool InWindow(DateTimeValue nowOfDay, DateTimeValue t);

// Whether the window of a job with time of day `t` is over at `nowOfDay`.
bool WindowPassed(DateTimeValue nowOfDay, DateTimeValue t);

// Whether the last run `lastRun` already stands for the start at `day` + `t` (or a later
// one), so that the job does not start for it again.
bool RunRecorded(DateTimeValue lastRun, DateTimeValue day, DateTimeValue t);

// Whether a job on for `today` (or not) with time of day `t` and last run `lastRun` is due
// at `nowOfDay`: in its window and not yet run for today + t.
bool IsDue(bool onToday, DateTimeValue today, DateTimeValue nowOfDay, DateTimeValue t,
           DateTimeValue lastRun);
