#pragma once
// The three forms of the lister's output: a table (the default), one block per job, and
// JSON (schema below, in docs/harbovale-jobs.md).

#include <string>

#include "lister/SchedulerPresence.h"
#include "lister/Shown.h"
#include "lister/Survey.h"
#include "platform/Clock.h"

// The version of the JSON document's layout, its "schema" member.
inline constexpr int kJsonSchemaVersion = 1;

// Texts in the system's code page; the rows in `order`.
std::string TableOutput(const Survey& survey, const SchedulerPresence& presence, bool all,
                        const platform::Clock& clock, SortOrder order = SortOrder::Next);
std::string ListOutput(const Survey& survey, const SchedulerPresence& presence, bool all,
                       const platform::Clock& clock, SortOrder order = SortOrder::Next);

// UTF-8. Every file of the job folder is in it, whether or not --all was given.
std::string JsonOutput(const Survey& survey, const SchedulerPresence& presence,
                       const std::string& program, const platform::Clock& clock);
