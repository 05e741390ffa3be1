#include "lister/WindowRows.h"

#include <algorithm>

std::vector<WindowRow> WindowRows(const Survey& survey, const platform::Clock& clock,
                                  SortOrder order, const ColumnSort& sort) {
  std::vector<WindowRow> rows;
  for (ShownRow& shown : ShownRows(survey, clock, /*all=*/true, order))
    rows.push_back({shown.row, survey.rows[shown.row].file, std::move(shown.cells)});
  if (sort.column) {
    const Column column = *sort.column;
    std::stable_sort(rows.begin(), rows.end(), [&](const WindowRow& a, const WindowRow& b) {
      const int order = CompareByColumn(survey, a.row, b.row, column);
      return sort.ascending ? order < 0 : order > 0;
    });
  }
  return rows;
}

ColumnSort SortedBy(const ColumnSort& sort, Column column) {
  if (sort.column == column) return {column, !sort.ascending};
  return {column, true};
}

std::string_view SortMenuText(Column column) {
  constexpr std::array<std::string_view, kColumnCount> kTexts{
      "&Next", "&Left", "L&ast", "&Passed", "&Job", "S&tatus", "&Schedule", "&Command"};
  return kTexts[static_cast<std::size_t>(column)];
}

ListUpdate PlanUpdate(const std::vector<WindowRow>& shown, const std::vector<WindowRow>& wanted) {
  ListUpdate update;
  const std::size_t both = std::min(shown.size(), wanted.size());
  for (std::size_t item = 0; item < both; ++item)
    for (std::size_t column = 0; column < kColumnCount; ++column)
      if (shown[item].cells[column] != wanted[item].cells[column])
        update.cells.push_back({item, column});
  if (wanted.size() > shown.size()) {
    update.addFrom = shown.size();
    update.addCount = wanted.size() - shown.size();
  } else {
    update.removeFrom = wanted.size();
    update.removeCount = shown.size() - wanted.size();
  }
  return update;
}

std::optional<std::size_t> ItemOf(const std::vector<WindowRow>& rows, const std::string& file) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].file == file) return i;
  return std::nullopt;
}

std::optional<std::size_t> KeptSelection::After(const std::vector<WindowRow>& shown,
                                                std::optional<std::size_t> selected,
                                                const std::vector<WindowRow>& wanted) {
  if (selected && *selected < shown.size()) return ItemOf(wanted, shown[*selected].file);
  if (rowsCame_ || wanted.empty()) return std::nullopt;
  rowsCame_ = true;
  return 0;
}
