#pragma once
// Job files as the backup application writes them, for the tests and the benchmarks alike:
// settings lines, then the schedule line as line 23, each ended by CR LF.

#include <string>
#include <string_view>

#include "fakes/TempFolder.h"

// The line of a job file that holds its schedule, counted from 1.
inline constexpr int kScheduleLine = 23;

// A job file of `lines` lines whose last line is `schedule`; no lines at all when `lines` is 0.
std::string JobFileText(std::string_view schedule, int lines = kScheduleLine);

// Writes JobFileText(schedule, lines) to "Backup Jobs/<name>" in `folder`; returns its path.
std::string WriteJobFile(const TempFolder& folder, std::string_view name, std::string_view schedule,
                         int lines = kScheduleLine);
