#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "lister/Outputs.h"
#include "lister/ReportText.h"
#include "lister/Shown.h"

std::string TableOutput(const Survey& survey, const SchedulerPresence& presence, bool all,
                        const platform::Clock& clock, SortOrder order) {
  const std::vector<ShownRow> shown = ShownRows(survey, clock, all, order);
  RowCells titles;
  for (std::size_t c = 0; c < kColumnCount; ++c) titles[c] = ColumnTitle(static_cast<Column>(c));
  std::array<std::size_t, kColumnCount> width{};
  const auto widen = [&](const RowCells& cells) {
    for (std::size_t c = 0; c < kColumnCount; ++c) width[c] = std::max(width[c], cells[c].size());
  };
  widen(titles);
  for (const ShownRow& row : shown) widen(row.cells);

  std::size_t lineLength = 1;  // the line break
  for (std::size_t c = 0; c < kColumnCount; ++c) lineLength += width[c] + 2;
  std::string text;
  text.reserve((shown.size() + 1) * lineLength + 1024);  // the table, and the notes and footer
  const auto layOut = [&](const RowCells& cells) {
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      text += cells[c];
      if (c + 1 < kColumnCount) text.append(width[c] - cells[c].size() + 2, ' ');
    }
    text += '\n';
  };
  layOut(titles);
  for (const ShownRow& row : shown) layOut(row.cells);
  const auto notes = ErrorNotes(survey);
  if (!notes.empty()) text += "\n";
  for (const std::string& note : notes) text += note + "\n";
  text += "\n";
  for (const std::string& line : FooterLines(survey, presence, all)) text += line + "\n";
  return text;
}
