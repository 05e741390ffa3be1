#pragma once
// What the lister shows of a survey, in one place: the columns and each row's cells, the
// order of the rows, the fields of one row's details, and the status texts. The table, the
// list, the live view and the window only lay these out. Texts in the system's code page.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lister/SchedulerPresence.h"
#include "lister/Survey.h"
#include "platform/Clock.h"

// The order of the rows (--sort). Next: the soonest next start first, then the jobs that will
// not start, then off and ignored files. File: by file name. Listing: the order in which the
// scheduler's rebuild meets the files, which decides what an error holds back.
enum class SortOrder { Next, File, Listing };

inline constexpr std::size_t kColumnCount = 8;
enum class Column { Next, Left, Last, Passed, Job, Status, Schedule, Command };
using RowCells = std::array<std::string, kColumnCount>;

// "NEXT", "LEFT", "LAST", "PASSED", "JOB", "STATUS", "SCHEDULE", "COMMAND".
std::string_view ColumnTitle(Column column);

struct ShownRow {
  std::size_t row;  // index into Survey::rows
  RowCells cells;   // texts as the table prints them ("-" for none)
};

// Whether a row appears without --all: off and ignored files are only counted.
bool ShownByDefault(const SurveyRow& row);

// The rows shown, in `order`: without `all` only those ShownByDefault.
std::vector<ShownRow> ShownRows(const Survey& survey, const platform::Clock& clock, bool all,
                                SortOrder order);

// For sorting by one column (the window's column headers): moments compare as moments, spans
// as spans, texts with letter case ignored; a row without a value comes after the rows with
// one. Negative, 0 or positive as strcmp; 0 for ties, so that a stable sort of the rows in
// listing order keeps that order among them.
int CompareByColumn(const Survey& survey, std::size_t rowA, std::size_t rowB, Column column);

// One field of a row's details: its name ("status", "schedule", "next", ...) and its lines.
struct DetailField {
  std::string name;
  std::vector<std::string> lines;
};

// The details of one row: status, the schedule in words with its raw items, the command, the
// last start, every next start worked out, for an error its exact box text and the jobs it
// holds back by name, what holds the job back, and a note.
std::vector<DetailField> DetailFields(const Survey& survey, std::size_t row,
                                      const platform::Clock& clock);

// The status texts, each by what it tells. No hints about command-line options.
struct StatusLines {
  std::string moment;   // the moment looked at and the folder
  std::string files;    // the counts of the files, or that there is no job folder
  std::string quits;    // that the scheduler would quit; empty while a job is scheduled
  std::string running;  // whether the scheduler runs
  std::string logOn;    // whether it starts at log-on, and which program does
  std::string store;    // which last-run store the scheduler reads (a long path: last)
  // The texts in that order, without the empty ones.
  std::vector<std::string> Lines() const;
};
StatusLines StatusOf(const Survey& survey, const SchedulerPresence& presence);
// StatusOf's lines.
std::vector<std::string> StatusTexts(const Survey& survey, const SchedulerPresence& presence);
