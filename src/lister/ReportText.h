#pragma once
// The texts that the table and the list share beyond the rows: what each error costs, and the
// footer about the folder and the scheduler.

#include <string>
#include <vector>

#include "lister/SchedulerPresence.h"
#include "lister/Survey.h"

// One sentence per error: its text and what it costs.
std::vector<std::string> ErrorNotes(const Survey& survey);

// The footer of the table and the list: the status texts (Shown.h), with a hint at --all
// when files are hidden.
std::vector<std::string> FooterLines(const Survey& survey, const SchedulerPresence& presence,
                                     bool all);
