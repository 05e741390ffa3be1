#pragma once
// The rows of the lister's window and how a refresh brings the list view up to date: rows
// are kept by file name, only cells whose text changed are set again (nothing flickers),
// and the person's selection follows its file, not its place.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lister/Shown.h"

struct WindowRow {
  std::size_t row = 0;  // index into Survey::rows
  std::string file;     // the key: selection is kept by file name
  std::array<std::string, kColumnCount> cells;
};

// How the person sorted the list: by a chosen column, or (none) in the given order.
struct ColumnSort {
  std::optional<Column> column;
  bool ascending = true;
};

// The sort once the person chose `column`, by a click on its header or in the View menu's
// "Sort by": that column ascending; the column sorted by already, the other way round.
ColumnSort SortedBy(const ColumnSort& sort, Column column);

// The column's item in "Sort by": its title as a word, with a mnemonic of its own ("L&ast").
std::string_view SortMenuText(Column column);

// Every file of the survey (off and ignored too) in `order`, then sorted by the clicked
// column when there is one (moments as moments; ties keep `order`).
std::vector<WindowRow> WindowRows(const Survey& survey, const platform::Clock& clock,
                                  SortOrder order, const ColumnSort& sort);

struct CellChange {
  std::size_t item = 0, column = 0;
};

// What to do to a list view showing `shown` so that it shows `wanted`: set the changed cells
// of the items both have, then add items (from shown.size() on) or take items off the end.
struct ListUpdate {
  std::vector<CellChange> cells;
  std::size_t addFrom = 0, addCount = 0;        // items appended (all their cells set)
  std::size_t removeFrom = 0, removeCount = 0;  // items removed from the end
};
ListUpdate PlanUpdate(const std::vector<WindowRow>& shown, const std::vector<WindowRow>& wanted);

// Where the file selected before is now; nothing when it is gone.
std::optional<std::size_t> ItemOf(const std::vector<WindowRow>& rows, const std::string& file);

// The selection across refreshes and sorts: the person's file, wherever the new rows put it;
// nothing once that file is gone or when the person selected nothing; the first row when the
// first rows come, so that the details show something from the start.
class KeptSelection {
 public:
  // The item to select once `wanted` replaces `shown`, in which `selected` was selected.
  std::optional<std::size_t> After(const std::vector<WindowRow>& shown,
                                   std::optional<std::size_t> selected,
                                   const std::vector<WindowRow>& wanted);

 private:
  bool rowsCame_ = false;  // the first rows came (and their first row was selected)
};
