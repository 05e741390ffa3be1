// The lister's window: a report-style list view of every file of the job folder, a details
// area for the selected one and a status bar, all from one survey taken again once a second.
// Standard controls only, so the keyboard, screen readers, themes and high contrast work as
// in every Windows program. It reads as the console program does and writes nothing: no
// settings, no file, no registry value; the scheduler's mutex is only looked for.

#include <windows.h>
// commctrl.h needs windows.h before it.
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/DateTimeFormat.h"
#include "lister/Look.h"
#include "lister/Moments.h"
#include "lister/Options.h"
#include "lister/Window.h"
#include "lister/WindowRows.h"
#include "lister/win32/Dpi.h"
#include "lister/win32/StatusBar.h"
#include "lister/win32/WindowMenu.h"
#include "platform/Locale.h"
#include "platform/win32/Win32Error.h"

namespace {

constexpr const char* kWindowClass = "HarbovaleJobsWindow";
constexpr const char* kCaption = "Harbovale Jobs";
constexpr UINT_PTR kRefreshTimer = 1;
constexpr UINT kRefreshMs = 1000;
constexpr int kListId = 100, kDetailsId = 101, kStatusId = 102;
constexpr WORD kIconId = 1;  // the program's icon (packaging/windows/harbovale.ico)

// Sizes at 96 DPI.
constexpr int kWidth = 1000, kHeight = 620, kMinWidth = 480, kMinHeight = 320;
constexpr int kGap = 6, kLabelSpace = 3;
// Column widths before the first rows are known; after them each fits its texts.
constexpr int kColumnWidths[kColumnCount] = {60, 50, 60, 60, 60, 60, 80, 80};
constexpr int kWidestColumn = 480, kCellPadding = 16;
// Room for the sort arrow beside a title, in spaces.
constexpr std::size_t kSortArrowRoom = 4;
// Where the details' lines begin after a field's name, in dialog units.
constexpr int kDetailsTabStop = 48;
// Share of the height below the list that the details take.
constexpr int kDetailsPercent = 35;

std::string Folder(std::string exeDir) {
  // "C:\Harbovale\" shows as "C:\Harbovale"; a drive's root keeps its separator.
  if (exeDir.size() > 3 && (exeDir.back() == '\\' || exeDir.back() == '/')) exeDir.pop_back();
  return exeDir;
}

// "schedule:<tab>every day 09:00:00", the further lines of a field below, after a tab: the
// lines of all fields begin at one tab stop.
std::string DetailsText(const std::vector<DetailField>& fields) {
  std::string text;
  for (const DetailField& field : fields) {
    text += field.name + ":";
    for (const std::string& line : field.lines) text += "\t" + line + "\r\n";
    if (field.lines.empty()) text += "\r\n";
  }
  return text;
}

class ListerWindow {
 public:
  explicit ListerWindow(const WindowRequest& request) : request_(request) {
    if (request_.moment) fixed_.emplace(*request_.moment, platform::SystemClock());
  }
  ~ListerWindow() {
    if (font_ != nullptr) DeleteObject(font_);
    if (keys_ != nullptr) DestroyAcceleratorTable(keys_);
  }

  // The exit code: 0 once the window is closed; 2 when it cannot be made (said in a box).
  int Run() {
    if (!Create()) {
      ShowStartMessage("Harbovale Jobs cannot open its window: " + failure_, true);
      return 2;
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      // F5 and Esc wherever the keyboard is; then Tab, Shift+Tab and the labels' Alt keys
      // between the list and the details, as in a dialog.
      if (TranslateAcceleratorA(window_, keys_, &message)) continue;
      if (IsDialogMessageA(window_, &message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    return 0;
  }

 private:
  const platform::Clock& Clock() const {
    return fixed_ ? static_cast<const platform::Clock&>(*fixed_) : platform::SystemClock();
  }

  bool Create() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &ListerWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconId));
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kIconId),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), 0));
    if (RegisterClassExA(&windowClass) == 0) return Failed("RegisterClassExA");

    // Created at 96 DPI's size, then fitted to its monitor's DPI once it knows it.
    const std::string caption = std::string(kCaption) + " - " + Folder(request_.exeDir);
    keys_ = MakeAccelerators();
    if (keys_ == nullptr) return Failed("CreateAcceleratorTableA");
    window_ = CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClass, caption.c_str(),
                              WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, kWidth, kHeight,
                              nullptr, MakeMenuBar(), instance, this);
    if (window_ == nullptr) return Failed("CreateWindowExA");
    dpi_ = DpiOf(window_);
    if (dpi_ != kDefaultDpi)
      SetWindowPos(window_, nullptr, 0, 0, Scaled(kWidth, dpi_), Scaled(kHeight, dpi_),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!CreateChildren(instance)) return Failed("CreateWindowExA");
    ApplyFont();
    Layout();
    Refresh();
    // SW_SHOWDEFAULT: as the shortcut or the starting program asked (normal, maximized, ...).
    ShowWindow(window_, SW_SHOWDEFAULT);
    UpdateWindow(window_);
    SetFocus(list_);
    SetTimer(window_, kRefreshTimer, kRefreshMs, nullptr);
    return true;
  }

  bool Failed(const char* call) {
    failure_ = platform::Win32ErrorText(call, GetLastError());
    return false;
  }

  bool CreateChildren(HINSTANCE instance) {
    // Each control after its label: screen readers name it so, and Alt with the label's
    // underlined letter goes to it.
    listLabel_ = CreateWindowExA(0, "STATIC", "&Jobs", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, window_,
                                 nullptr, instance, nullptr);
    list_ = CreateWindowExA(
        WS_EX_CLIENTEDGE, WC_LISTVIEWA, "Jobs",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, 0, 0,
        0, 0, window_, reinterpret_cast<HMENU>(kListId), instance, nullptr);
    SendMessageA(
        list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
        LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_HEADERDRAGDROP | LVS_EX_LABELTIP);
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      std::string title(ColumnTitle(static_cast<Column>(c)));
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
      column.pszText = title.data();
      column.cx = Scaled(kColumnWidths[c], dpi_);
      column.iSubItem = static_cast<int>(c);
      SendMessageA(list_, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&column));
    }
    detailsLabel_ = CreateWindowExA(0, "STATIC", "&Details", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                    window_, nullptr, instance, nullptr);
    details_ = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                                   ES_READONLY | ES_AUTOVSCROLL,
                               0, 0, 0, 0, window_, reinterpret_cast<HMENU>(kDetailsId), instance,
                               nullptr);
    const int tabStop = kDetailsTabStop;
    SendMessageA(details_, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
    return status_.Create(window_, instance, kStatusId) && list_ != nullptr &&
           details_ != nullptr && listLabel_ != nullptr && detailsLabel_ != nullptr;
  }

  void ApplyFont() {
    const HFONT old = font_;
    font_ = MessageFont(dpi_);
    for (HWND control : {listLabel_, list_, detailsLabel_, details_})
      SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    status_.SetFont(font_, dpi_);
    if (old != nullptr) DeleteObject(old);
  }

  // Places the controls in the client area; the one place that does (after a new size, font
  // or DPI), once for each change.
  void Layout() {
    RECT client;
    GetClientRect(window_, &client);
    status_.Fit();
    RECT bar;
    GetWindowRect(status_.Handle(), &bar);
    const int statusHeight = bar.bottom - bar.top;
    const int gap = Scaled(kGap, dpi_);
    const int label = LabelHeight();
    const int width = client.right - 2 * gap;
    const int height = client.bottom - statusHeight - 3 * gap - 2 * label;
    const int detailsHeight = height * kDetailsPercent / 100;
    const int listHeight = height - detailsHeight;
    int top = gap;
    MoveWindow(listLabel_, gap, top, width, label, TRUE);
    top += label;
    MoveWindow(list_, gap, top, width, listHeight, TRUE);
    top += listHeight + gap;
    MoveWindow(detailsLabel_, gap, top, width, label, TRUE);
    top += label;
    MoveWindow(details_, gap, top, width, detailsHeight, TRUE);
  }

  // A line of the message font, and a little room below it.
  int LabelHeight() const {
    const HDC dc = GetDC(window_);
    const HGDIOBJ before = SelectObject(dc, font_);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, before);
    ReleaseDC(window_, dc);
    return metrics.tmHeight + Scaled(kLabelSpace, dpi_);
  }

  // One survey, laid out: the rows, the details of the selected file and the status bar.
  void Refresh() {
    try {
      look_ = TakeLook(request_.exeDir, Clock(), request_.iterations);
      problem_.clear();
    } catch (...) {
      problem_ = "Cannot look at the folder: " + CurrentMessage();
    }
    Show();
  }

  static std::string CurrentMessage() {
    try {
      throw;
    } catch (const std::exception& error) {
      return error.what();
    } catch (...) {
      return "unknown error";
    }
  }

  void Show() {
    if (look_) ShowRows(WindowRows(look_->survey, Clock(), request_.order, sort_));
    ShowDetails();
    std::vector<std::string> texts;
    if (!problem_.empty()) texts.push_back(problem_);
    if (look_)
      for (std::string& text : StatusTexts(look_->survey, look_->presence))
        texts.push_back(std::move(text));
    status_.Show(texts);
  }

  std::optional<std::size_t> SelectedItem() const {
    const LRESULT item =
        SendMessageA(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (item < 0 || static_cast<std::size_t>(item) >= rows_.size()) return std::nullopt;
    return static_cast<std::size_t>(item);
  }

  void SetCell(std::size_t item, std::size_t column, const std::string& text) {
    LVITEMA cell{};
    cell.iSubItem = static_cast<int>(column);
    cell.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list_, LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&cell));
  }

  // Selects that item alone (and gives it the focus), or none.
  void Select(std::optional<std::size_t> item) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    if (item) {
      state.stateMask |= LVIS_FOCUSED;
      state.state = LVIS_SELECTED | LVIS_FOCUSED;
    }
    SendMessageA(list_, LVM_SETITEMSTATE, item ? *item : static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&state));
  }

  // Brings the list view to `wanted` in place: the rows stay where they are on the screen,
  // only changed cells are set, and the selection stays with its file.
  // Not LVS_OWNERDATA: FitColumns needs the plan's changed cells and the selection its rule anyway.
  void ShowRows(std::vector<WindowRow> wanted) {
    const std::optional<std::size_t> selected = SelectedItem();
    const std::optional<std::size_t> select = selection_.After(rows_, selected, wanted);
    const ListUpdate update = PlanUpdate(rows_, wanted);
    quiet_ = true;  // selection changes made here are not the person's
    for (const CellChange& change : update.cells)
      SetCell(change.item, change.column, wanted[change.item].cells[change.column]);
    for (std::size_t n = 0; n < update.removeCount; ++n)
      SendMessageA(list_, LVM_DELETEITEM, update.removeFrom + update.removeCount - 1 - n, 0);
    for (std::size_t item = update.addFrom; item < update.addFrom + update.addCount; ++item) {
      LVITEMA line{};
      line.mask = LVIF_TEXT;
      line.iItem = static_cast<int>(item);
      line.pszText = wanted[item].cells[0].data();
      SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&line));
      for (std::size_t c = 1; c < kColumnCount; ++c) SetCell(item, c, wanted[item].cells[c]);
    }
    rows_ = std::move(wanted);
    if (select != selected) Select(select);
    quiet_ = false;
    FitColumns(update);
  }

  // Each column as wide as its widest text or its title (with room for the sort arrow),
  // within reason. Columns only grow, so a width the person chose stays, and only the texts
  // that are new since the last refresh need measuring.
  void FitColumns(const ListUpdate& update) {
    std::array<int, kColumnCount> wanted{};
    const int padding = Scaled(kCellPadding, dpi_);
    auto fit = [&](std::size_t column, const std::string& text) {
      wanted[column] = std::max(wanted[column], TextWidth(text) + padding);
    };
    if (!titlesFitted_) {
      titlesFitted_ = true;
      for (std::size_t c = 0; c < kColumnCount; ++c)
        fit(c, std::string(ColumnTitle(static_cast<Column>(c))) + std::string(kSortArrowRoom, ' '));
    }
    for (const CellChange& change : update.cells)
      fit(change.column, rows_[change.item].cells[change.column]);
    for (std::size_t item = update.addFrom; item < update.addFrom + update.addCount; ++item)
      for (std::size_t c = 0; c < kColumnCount; ++c) fit(c, rows_[item].cells[c]);
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      const int width = std::min(wanted[c], Scaled(kWidestColumn, dpi_));
      if (width > static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, c, 0)))
        SendMessageA(list_, LVM_SETCOLUMNWIDTH, c, width);
    }
  }

  int TextWidth(const std::string& text) const {
    return static_cast<int>(
        SendMessageA(list_, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(text.c_str())));
  }

  void ShowDetails() {
    const std::optional<std::size_t> item = SelectedItem();
    std::string text;
    if (!look_)
      text = "";
    else if (item)
      text = DetailsText(DetailFields(look_->survey, rows_[*item].row, Clock()));
    else
      text = rows_.empty() ? "No file in the job folder." : "Select a file to see its details.";
    if (text == detailsText_) return;
    detailsText_ = text;
    // The person's place in the details survives the new text (LEFT counts every second).
    DWORD start = 0, end = 0;
    SendMessageA(details_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const LRESULT firstLine = SendMessageA(details_, EM_GETFIRSTVISIBLELINE, 0, 0);
    SendMessageA(details_, WM_SETREDRAW, FALSE, 0);
    SetWindowTextA(details_, text.c_str());
    SendMessageA(details_, EM_SETSEL, start, end);
    SendMessageA(details_, EM_LINESCROLL, 0, firstLine);
    SendMessageA(details_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(details_, nullptr, TRUE);
  }

  // A click on a header and the View menu's "Sort by" both come here.
  void SortBy(Column column) {
    sort_ = SortedBy(sort_, column);
    MarkSort(list_, GetMenu(window_), sort_);
    Show();
    if (const auto item = SelectedItem()) SendMessageA(list_, LVM_ENSUREVISIBLE, *item, FALSE);
  }

  void DpiChanged(UINT dpi, const RECT& suggested) {
    const UINT old = dpi_;
    dpi_ = dpi;
    ApplyFont();
    for (std::size_t c = 0; c < kColumnCount; ++c) {
      const int width = static_cast<int>(SendMessageA(list_, LVM_GETCOLUMNWIDTH, c, 0));
      SendMessageA(list_, LVM_SETCOLUMNWIDTH, c,
                   MulDiv(width, static_cast<int>(dpi), static_cast<int>(old)));
    }
    // The new size lays the window out (WM_SIZE); when the client area keeps its size, no
    // WM_SIZE comes, and the new font still needs its layout.
    RECT before;
    GetClientRect(window_, &before);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT after;
    GetClientRect(window_, &after);
    if (after.right == before.right && after.bottom == before.bottom) Layout();
  }

  // A menu item or a key of the accelerator table.
  void Command(WORD command) {
    if (command == kCloseCommand)
      PostMessageA(window_, WM_CLOSE, 0, 0);
    else if (command == kRefreshCommand)
      Refresh();
    else if (const std::optional<Column> column = SortColumnOf(command))
      SortBy(*column);
  }

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* self =
          static_cast<ListerWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->window_ = window;
    }
    auto* self = reinterpret_cast<ListerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_TIMER:
        if (wParam == kRefreshTimer) Refresh();
        return 0;
      case WM_SIZE:
        if (list_ != nullptr) Layout();
        return 0;
      case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        const UINT dpi = dpi_ != 0 ? dpi_ : kDefaultDpi;
        limits->ptMinTrackSize = {Scaled(kMinWidth, dpi), Scaled(kMinHeight, dpi)};
        return 0;
      }
      case WM_DPICHANGED:
        DpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
      case WM_SETFOCUS:
        SetFocus(focus_ != nullptr ? focus_ : list_);
        return 0;
      case WM_ACTIVATE:
        // Back to the control that had the keyboard when the window was left.
        if (LOWORD(wParam) == WA_INACTIVE) focus_ = GetFocus();
        break;
      case WM_SETTINGCHANGE:
        // The person changed the date and time format or the message font: shown in the
        // new ones at once, as the scheduler reads its format again on the same message.
        try {
          LoadDateTimeFormat(platform::SystemLocale());
        } catch (...) {
          // The format read before stays; the scheduler's own reading fails alike.
        }
        ApplyFont();
        Layout();
        Refresh();
        return 0;
      case WM_NEXTDLGCTL:
        // Tab in the details (a multi-line edit) asks its parent, as in a dialog, for the
        // next control; wParam: the previous one instead.
        if (LOWORD(lParam) == 0) SetFocus(GetNextDlgTabItem(window_, GetFocus(), wParam != 0));
        return 0;
      case WM_COMMAND:
        // (the controls' notifications name their window; the menu's and the keys' do not)
        if (lParam == 0) Command(LOWORD(wParam));
        return 0;
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom != list_) break;
        if (header->code == LVN_COLUMNCLICK) {
          SortBy(static_cast<Column>(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem));
          return 0;
        }
        if (header->code == LVN_ITEMCHANGED && !quiet_) {
          const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
          if ((change->uChanged & LVIF_STATE) &&
              ((change->uNewState ^ change->uOldState) & LVIS_SELECTED))
            ShowDetails();
          return 0;
        }
        break;
      }
      case WM_DESTROY:
        KillTimer(window_, kRefreshTimer);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
  }

  WindowRequest request_;
  std::optional<FixedClock> fixed_;  // --now: the clock stands at that moment
  HWND window_ = nullptr, list_ = nullptr, details_ = nullptr;
  HWND listLabel_ = nullptr, detailsLabel_ = nullptr;
  StatusBar status_;
  HWND focus_ = nullptr;
  HFONT font_ = nullptr;
  HACCEL keys_ = nullptr;  // F5 and Esc
  UINT dpi_ = kDefaultDpi;
  std::optional<Look> look_;     // the latest look; everything shown comes from it
  std::string problem_;          // why the latest survey could not be taken
  std::string failure_;          // why the window could not be made
  std::vector<WindowRow> rows_;  // what the list view shows, item by item
  ColumnSort sort_;
  KeptSelection selection_;
  bool titlesFitted_ = false;
  bool quiet_ = false;
  std::string detailsText_;
};

}  // namespace

int RunWindow(const WindowRequest& request) {
  const auto window = std::make_unique<ListerWindow>(request);
  return window->Run();
}
