#pragma once
// The lister window's menu bar and its keys, as keyboard users expect of a Windows list:
// File > Close (Esc), View > Refresh (F5) and View > Sort by > each column, which does what a
// click on that column's header does.

#include <windows.h>

#include <optional>

#include "lister/WindowRows.h"

// The commands of the menu and the keys (WM_COMMAND from a menu or the accelerator table).
inline constexpr WORD kCloseCommand = IDCANCEL;  // as Esc in a dialog
inline constexpr WORD kRefreshCommand = 200;
inline constexpr WORD kFirstSortCommand = 210;  // one per column, in the columns' order

// The menu bar; the window it is given to destroys it.
HMENU MakeMenuBar();

// F5 and Esc; the caller destroys the table (DestroyAcceleratorTable).
HACCEL MakeAccelerators();

// The column that a "Sort by" command sorts by; nothing for the other commands.
std::optional<Column> SortColumnOf(WORD command);

// Shows the sort where it is chosen: an arrow in the sorted column's header (up: ascending)
// and a radio mark in "Sort by"; nothing while the rows keep their given order.
void MarkSort(HWND list, HMENU bar, const ColumnSort& sort);
