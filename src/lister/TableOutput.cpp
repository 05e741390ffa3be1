#include "lister/Outputs.h"
#include "lister/ReportText.h"

#include <array>
#include <vector>

namespace {

constexpr std::size_t kColumns = 8;
using Cells = std::array<std::string, kColumns>;

Cells RowCells(const Survey& survey, const SurveyRow& row, const platform::Clock& clock) {
  Cells cells;
  cells.fill("-");
  if (!row.next.empty()) {
    cells[0] = MomentText(row.next.front());
    cells[1] = LeftText(survey, row.next.front(), clock);
  }
  if (row.heldBack && row.next.empty()) cells[1] = "held back";
  if (row.lastText) cells[2] = *row.lastText;
  if (row.last) cells[3] = PassedText(survey, *row.last, clock);
  cells[4] = row.file;
  cells[5] = StatusWord(row.status);
  if (row.schedule) {
    cells[6] = row.schedule->words;
    if (!row.schedule->cmd.empty()) cells[7] = row.schedule->cmd;
  }
  return cells;
}

}  // namespace

std::string TableOutput(const Survey& survey, const SchedulerPresence& presence, bool all,
                        const platform::Clock& clock) {
  std::vector<Cells> table;
  table.push_back({"NEXT", "LEFT", "LAST", "PASSED", "JOB", "STATUS", "SCHEDULE", "COMMAND"});
  for (const SurveyRow& row : survey.rows)
    if (all || ShownByDefault(row)) table.push_back(RowCells(survey, row, clock));
  std::array<std::size_t, kColumns> width{};
  for (const Cells& cells : table)
    for (std::size_t c = 0; c < kColumns; ++c) width[c] = std::max(width[c], cells[c].size());

  std::string text;
  for (const Cells& cells : table) {
    std::string line;
    for (std::size_t c = 0; c < kColumns; ++c) {
      line += cells[c];
      if (c + 1 < kColumns) line += std::string(width[c] - cells[c].size() + 2, ' ');
    }
    text += line + "\n";
  }
  const auto notes = ErrorNotes(survey);
  if (!notes.empty()) text += "\n";
  for (const std::string& note : notes) text += note + "\n";
  text += "\n";
  for (const std::string& line : FooterLines(survey, presence, all)) text += line + "\n";
  return text;
}
