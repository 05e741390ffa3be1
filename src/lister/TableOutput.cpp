#include <algorithm>
#include <array>
#include <vector>

#include "lister/Outputs.h"
#include "lister/ReportText.h"
#include "lister/Shown.h"

std::string TableOutput(const Survey& survey, const SchedulerPresence& presence, bool all,
                        const platform::Clock& clock, SortOrder order) {
  std::vector<RowCells> table;
  RowCells& titles = table.emplace_back();
  for (std::size_t c = 0; c < kColumnCount; ++c) titles[c] = ColumnTitle(static_cast<Column>(c));
  for (ShownRow& row : ShownRows(survey, clock, all, order)) table.push_back(std::move(row.cells));
  std::array<std::size_t, kColumnCount> width{};
  for (const RowCells& cells : table)
    for (std::size_t c = 0; c < kColumnCount; ++c) width[c] = std::max(width[c], cells[c].size());

  std::string text;
  for (const RowCells& cells : table) {
    std::string line;
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      line += cells[c];
      if (c + 1 < kColumnCount) line += std::string(width[c] - cells[c].size() + 2, ' ');
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
