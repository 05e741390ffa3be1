#include "lister/win32/WindowMenu.h"

// commctrl.h needs windows.h before it.
#include <commctrl.h>

#include <iterator>
#include <string>

namespace {

constexpr WORD kLastSortCommand = kFirstSortCommand + kColumnCount - 1;

WORD SortCommand(std::size_t column) { return static_cast<WORD>(kFirstSortCommand + column); }

}  // namespace

HMENU MakeMenuBar() {
  const HMENU file = CreatePopupMenu();
  AppendMenuA(file, MF_STRING, kCloseCommand, "&Close\tEsc");
  const HMENU sortBy = CreatePopupMenu();
  for (std::size_t c = 0; c < kColumnCount; ++c)
    AppendMenuA(sortBy, MF_STRING, SortCommand(c),
                std::string(SortMenuText(static_cast<Column>(c))).c_str());
  const HMENU view = CreatePopupMenu();
  AppendMenuA(view, MF_STRING, kRefreshCommand, "&Refresh\tF5");
  AppendMenuA(view, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(view, MF_POPUP, reinterpret_cast<UINT_PTR>(sortBy), "Sort &by");
  const HMENU bar = CreateMenu();
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "&View");
  return bar;
}

HACCEL MakeAccelerators() {
  ACCEL keys[] = {{FVIRTKEY, VK_F5, kRefreshCommand}, {FVIRTKEY, VK_ESCAPE, kCloseCommand}};
  return CreateAcceleratorTableA(keys, static_cast<int>(std::size(keys)));
}

std::optional<Column> SortColumnOf(WORD command) {
  if (command < kFirstSortCommand || command > kLastSortCommand) return std::nullopt;
  return static_cast<Column>(command - kFirstSortCommand);
}

void MarkSort(HWND list, HMENU bar, const ColumnSort& sort) {
  if (!sort.column) return;
  const std::size_t sorted = static_cast<std::size_t>(*sort.column);
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  for (std::size_t c = 0; c < kColumnCount; ++c) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    SendMessageA(header, HDM_GETITEMA, c, reinterpret_cast<LPARAM>(&item));
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (c == sorted) item.fmt |= sort.ascending ? HDF_SORTUP : HDF_SORTDOWN;
    SendMessageA(header, HDM_SETITEMA, c, reinterpret_cast<LPARAM>(&item));
  }
  // By command: the items are found in the submenu that holds them.
  CheckMenuRadioItem(bar, kFirstSortCommand, kLastSortCommand, SortCommand(sorted), MF_BYCOMMAND);
}
