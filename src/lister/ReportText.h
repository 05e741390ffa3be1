#pragma once
// The texts that the table and the list share: moments, spans, what an error costs, and the
// footer about the folder and the scheduler.

#include <string>
#include <vector>

#include "lister/SchedulerPresence.h"
#include "lister/Survey.h"
#include "platform/Clock.h"

// Whether a row appears without --all: off and ignored files are only counted.
bool ShownByDefault(const SurveyRow& row);

// A moment in the scheduler's own text form (the form the store holds).
std::string MomentText(DateTimeValue value);

// How long until `next` from the survey's moment: "1m 0s", "now" once it is due.
std::string LeftText(const Survey& survey, DateTimeValue next, const platform::Clock& clock);
// How long ago `last` was: "1d 0h"; "in 2d 1h" for a moment still to come.
std::string PassedText(const Survey& survey, DateTimeValue last, const platform::Clock& clock);
// The same from the survey's moment in UTC (UtcValue), for many rows of one survey.
std::string LeftText(DateTimeValue nowUtc, DateTimeValue next, const platform::Clock& clock);
std::string PassedText(DateTimeValue nowUtc, DateTimeValue last, const platform::Clock& clock);

// The survey's moment in UTC.
DateTimeValue NowUtc(const Survey& survey, const platform::Clock& clock);

// One sentence per error: its text and what it costs.
std::vector<std::string> ErrorNotes(const Survey& survey);

// The footer of the table and the list: the status texts (Shown.h), with a hint at --all
// when files are hidden.
std::vector<std::string> FooterLines(const Survey& survey, const SchedulerPresence& presence,
                                     bool all);
