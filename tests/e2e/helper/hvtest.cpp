// hvtest: the end-to-end tests' hands and eyes inside Wine. Each subcommand does one thing
// and reports through its exit code (0 yes / done, 1 no / not found, 2 usage or failure)
// and standard output.
//
//   hold-mutex <name> <ready-file> <release-file>   hold a named mutex until release-file exists
//   hold-open-for-write <file> <ready-file> <release-file>
//                                   keep a file open for writing (others may read and write)
//                                   until release-file exists
//   run-value <value name>          print the Run value's type and data (1: no value, 2: no key)
//   set-run-value <name> <data>     write a Run value (REG_SZ)
//   wait-run-value <name> <data> <ms>
//                                   wait until the Run value is that REG_SZ text (it may
//                                   be there for a moment only)
//   delete-run-value <name>         delete a Run value (1: there was none)
//   delete-run-key | create-run-key remove the (empty) Run key, or make it again
//   run-key-read-only | run-key-writable
//                                   let everybody only read the Run key (as a standard user
//                                   may at log-on), or do anything with it again
//   box-count <caption>             number of visible message boxes with that caption
//   box-text <caption>              text of the first such box
//   press-ok <caption>              press OK on the first such box
//   wait-box <caption> <ms>         wait until such a box is open
//   window-exists <class> <ms>      wait until a top-level window of that class exists
//   visible-windows <exe name>      number of visible top-level windows of that program
//   close-window <class>            post WM_CLOSE to every top-level window of that class
//   kill <exe name>                 terminate every process of that program
//
// A window of another program, found by the beginning of its caption (read from outside
// its process, as an accessibility tool would):
//   wait-window <caption> <ms>      wait until a visible top-level window's caption begins
//                                   so; print its whole caption
//   list-rows <caption>             its list view: the column titles, then one line per
//                                   row, cells separated by tabs
//   status-texts <caption>          its status bar: one line per part
//   details-text <caption>          the text of its (first) edit control
//   select-row <caption> <index>    select that row of its list view
//   click-header <caption> <column> [<percent>]
//                                   click that column's header with the mouse, in its
//                                   middle or that far across it
//   key <caption> <virtual key>     post a key press (WM_KEYDOWN) to the control that has
//                                   the keyboard focus (its list view when none has)
//   alt-key <caption> <letter>      the same with Alt held (WM_SYSKEYDOWN): a label's
//                                   underlined letter
//   focus <caption>                 the class of the control that has the keyboard focus
//   menu-keys <caption> <letters>   choose from its menus as a keyboard user does: Alt and
//                                   the first letter, then each next letter once the menu
//                                   the one before opened is open ("vbj": View, Sort by, Job)
//   open-menus <caption>            the number of its menus open now
//   layout <caption>                its size ("window W H", "client W H"), its list view's
//                                   column widths ("columns W..."), then a line per control:
//                                   its class and rectangle in the client area (l t r b)
//   dpi-changed <caption> <dpi> <width> <height>
//                                   tell it, as the system does when it moves to a monitor of
//                                   that DPI, with that size suggested at its place

// tlhelp32.h and sddl.h need windows.h before them.
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <sddl.h>
#include <tlhelp32.h>
// clang-format on

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kBoxClass = "#32770";
constexpr int kBoxTextId = 0xFFFF;
constexpr DWORD kPollMs = 50;
// A holder nobody releases ends by itself rather than outliving the test run.
constexpr DWORD kLongestHoldMs = 10 * 60 * 1000;

bool FileExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

std::string ClassOf(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[1024] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

template <typename Keep>
std::vector<HWND> TopLevelWindows(Keep keep) {
  struct Walk {
    Keep* keep;
    std::vector<HWND> found;
  } walk{&keep, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* w = reinterpret_cast<Walk*>(data);
        if ((*w->keep)(window)) w->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&walk));
  return walk.found;
}

std::vector<HWND> Boxes(const std::string& caption) {
  return TopLevelWindows([&](HWND w) {
    return ClassOf(w) == kBoxClass && TextOf(w) == caption && IsWindowVisible(w);
  });
}

std::vector<DWORD> ProcessesNamed(const std::string& exe) {
  std::vector<DWORD> ids;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    if (lstrcmpiA(entry.szExeFile, exe.c_str()) == 0) ids.push_back(entry.th32ProcessID);
  CloseHandle(snapshot);
  return ids;
}

template <typename Condition>
bool WaitUntil(Condition condition, DWORD deadlineMs) {
  const ULONGLONG end = GetTickCount64() + deadlineMs;
  while (!condition()) {
    if (GetTickCount64() > end) return false;
    Sleep(kPollMs);
  }
  return true;
}

int HoldMutex(const char* name, const char* readyFile, const char* releaseFile) {
  const HANDLE mutex = CreateMutexA(nullptr, TRUE, name);
  if (mutex == nullptr) return 2;
  const HANDLE ready = CreateFileA(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return 2;
  CloseHandle(ready);
  WaitUntil([&] { return FileExists(releaseFile); }, kLongestHoldMs);
  CloseHandle(mutex);
  return 0;
}

int HoldOpenForWrite(const char* path, const char* readyFile, const char* releaseFile) {
  const HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 2;
  const HANDLE ready = CreateFileA(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (ready == INVALID_HANDLE_VALUE) return 2;
  CloseHandle(ready);
  WaitUntil([&] { return FileExists(releaseFile); }, kLongestHoldMs);
  CloseHandle(file);
  return 0;
}

// The Run value as "<type>:<data>" (0), or why not: 1 no value, 2 no key.
int ReadRunValue(const char* name, std::string& text) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return 2;
  char data[4096];
  DWORD size = sizeof data - 1, type = 0;
  const LONG result =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return 1;
  data[size] = '\0';
  // The type shows too: the value must be a plain string.
  text = std::string(type == REG_SZ ? "REG_SZ" : "OTHER") + ":" + data;
  return 0;
}

int RunValue(const char* name) {
  std::string text;
  const int result = ReadRunValue(name, text);
  if (result == 0) std::printf("%s\n", text.c_str());
  return result;
}

int SetRunValue(const char* name, const std::string& data) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return 2;
  const LONG result =
      RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1));
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 0 : 2;
}

int DeleteRunValue(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return 2;
  const LONG result = RegDeleteValueA(key, name);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 0 : 1;
}

int CreateRunKey() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return 2;
  RegCloseKey(key);
  return 0;
}

// Gives the Run key the access rights of a security descriptor in its text form. The key's
// owner may always change them, so a read-only key can be made writable again.
int SetRunKeyRights(const char* descriptor) {
  PSECURITY_DESCRIPTOR security = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1, &security,
                                                            nullptr))
    return 2;
  HKEY key;
  LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, WRITE_DAC, &key);
  if (result == ERROR_SUCCESS) {
    result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security);
    RegCloseKey(key);
  }
  LocalFree(security);
  return result == ERROR_SUCCESS ? 0 : 2;
}

// Memory inside another process: list view and status bar messages carry pointers, which
// are only good in the address space of the control's owner.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND owner, SIZE_T size) {
    DWORD id = 0;
    GetWindowThreadProcessId(owner, &id);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
    if (process_ != nullptr)
      base_ = static_cast<char*>(
          VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  }
  ~RemoteBuffer() {
    if (base_ != nullptr) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  bool Ok() const { return base_ != nullptr; }
  char* At(SIZE_T offset) const { return base_ + offset; }
  bool Write(SIZE_T offset, const void* data, SIZE_T size) {
    SIZE_T done = 0;
    return WriteProcessMemory(process_, base_ + offset, data, size, &done) && done == size;
  }
  bool Read(SIZE_T offset, void* data, SIZE_T size) {
    SIZE_T done = 0;
    return ReadProcessMemory(process_, base_ + offset, data, size, &done) && done == size;
  }
  std::string Text(SIZE_T offset, SIZE_T size) {
    std::vector<char> text(size + 1, '\0');
    if (!Read(offset, text.data(), size)) return "";
    return text.data();
  }

 private:
  HANDLE process_ = nullptr;
  char* base_ = nullptr;
};

constexpr SIZE_T kTextOffset = 1024, kTextSize = 4096;

HWND WindowCaptioned(const std::string& start) {
  const auto found = TopLevelWindows(
      [&](HWND w) { return IsWindowVisible(w) && TextOf(w).compare(0, start.size(), start) == 0; });
  return found.empty() ? nullptr : found.front();
}

HWND ChildOfClass(HWND parent, const char* className) {
  return FindWindowExA(parent, nullptr, className, nullptr);
}

// The list view's column titles and cells: titles first, then a line per row.
int ListRows(HWND window) {
  const HWND list = ChildOfClass(window, WC_LISTVIEWA);
  if (list == nullptr) return 1;
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  RemoteBuffer remote(list, kTextOffset + kTextSize);
  if (!remote.Ok() || columns <= 0) return 2;
  std::string line;
  for (int c = 0; c < columns; ++c) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT;
    column.pszText = remote.At(kTextOffset);
    column.cchTextMax = kTextSize;
    remote.Write(0, &column, sizeof column);
    SendMessageA(list, LVM_GETCOLUMNA, c, reinterpret_cast<LPARAM>(remote.At(0)));
    if (c > 0) line += '\t';
    line += remote.Text(kTextOffset, kTextSize);
  }
  std::printf("%s\n", line.c_str());
  const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) {
    line.clear();
    for (int c = 0; c < columns; ++c) {
      LVITEMA cell{};
      cell.iSubItem = c;
      cell.pszText = remote.At(kTextOffset);
      cell.cchTextMax = kTextSize;
      remote.Write(0, &cell, sizeof cell);
      SendMessageA(list, LVM_GETITEMTEXTA, r, reinterpret_cast<LPARAM>(remote.At(0)));
      if (c > 0) line += '\t';
      line += remote.Text(kTextOffset, kTextSize);
    }
    std::printf("%s\n", line.c_str());
  }
  return 0;
}

int StatusTexts(HWND window) {
  const HWND bar = ChildOfClass(window, STATUSCLASSNAMEA);
  if (bar == nullptr) return 1;
  RemoteBuffer remote(bar, kTextOffset + kTextSize);
  if (!remote.Ok()) return 2;
  const int parts = static_cast<int>(SendMessageA(bar, SB_GETPARTS, 0, 0));
  for (int p = 0; p < parts; ++p) {
    SendMessageA(bar, SB_GETTEXTA, p, reinterpret_cast<LPARAM>(remote.At(kTextOffset)));
    std::printf("%s\n", remote.Text(kTextOffset, kTextSize).c_str());
  }
  return 0;
}

int SelectRow(HWND window, int row) {
  const HWND list = ChildOfClass(window, WC_LISTVIEWA);
  if (list == nullptr) return 1;
  RemoteBuffer remote(list, sizeof(LVITEMA));
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (!remote.Ok() || !remote.Write(0, &state, sizeof state)) return 2;
  return SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote.At(0))) ? 0 : 2;
}

// A real click (the mouse moved there, pressed and released), so that the header tells the
// list view's owner as it does for a person.
int ClickHeader(HWND window, int column, int percent) {
  const HWND list = ChildOfClass(window, WC_LISTVIEWA);
  if (list == nullptr) return 1;
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  RemoteBuffer remote(header, sizeof(RECT));
  RECT rect{};
  if (!remote.Ok() ||
      !SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(remote.At(0))) ||
      !remote.Read(0, &rect, sizeof rect))
    return 2;
  POINT spot{rect.left + (rect.right - rect.left) * percent / 100, (rect.top + rect.bottom) / 2};
  ClientToScreen(header, &spot);
  SetForegroundWindow(window);
  SetCursorPos(spot.x, spot.y);
  INPUT clicks[2]{};
  clicks[0].type = clicks[1].type = INPUT_MOUSE;
  clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  return SendInput(2, clicks, sizeof(INPUT)) == 2 ? 0 : 2;
}

// The control of that window's thread that has the keyboard focus.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// The menus open in that window's thread: popup menus are top-level windows of their own.
std::size_t OpenMenus(HWND window) {
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return TopLevelWindows([&](HWND w) {
           return ClassOf(w) == "#32768" && IsWindowVisible(w) &&
                  GetWindowThreadProcessId(w, nullptr) == thread;
         })
      .size();
}

// A key press for the control with the keyboard focus (or `otherwise`); with Alt held,
// WM_SYSKEYDOWN with bit 29 of lParam.
bool PostKey(HWND window, HWND otherwise, WPARAM key, bool alt) {
  HWND target = FocusOf(window);
  if (target == nullptr) target = otherwise != nullptr ? otherwise : window;
  return PostMessageA(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, alt ? LPARAM{1} << 29 : 0);
}

WPARAM LetterKey(char letter) {
  return static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(letter)));
}

// Each letter waits for the menu that the one before opened: a key that comes before its
// menu is open goes to the window instead.
int MenuKeys(HWND window, const std::string& letters) {
  constexpr DWORD kMenuMs = 10000;
  for (std::size_t i = 0; i < letters.size(); ++i) {
    const std::size_t before = OpenMenus(window);
    if (!PostKey(window, nullptr, LetterKey(letters[i]), i == 0)) return 2;
    if (!WaitUntil([&] { return OpenMenus(window) != before; }, kMenuMs)) return 1;
  }
  return 0;
}

int PrintLayout(HWND window) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  std::printf("window %ld %ld\nclient %ld %ld\ncolumns", outer.right - outer.left,
              outer.bottom - outer.top, client.right, client.bottom);
  const HWND list = ChildOfClass(window, WC_LISTVIEWA);
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  const int columns = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
  for (int c = 0; c < columns; ++c)
    std::printf(" %d", static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, c, 0)));
  std::printf("\n");
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT place{};
    GetWindowRect(child, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    std::printf("%s %ld %ld %ld %ld\n", ClassOf(child).c_str(), place.left, place.top, place.right,
                place.bottom);
  }
  return 0;
}

// The suggested rectangle goes in the window's own memory: the message carries a pointer.
int DpiChanged(HWND window, int dpi, int width, int height) {
  RECT suggested{};
  GetWindowRect(window, &suggested);
  suggested.right = suggested.left + width;
  suggested.bottom = suggested.top + height;
  RemoteBuffer remote(window, sizeof suggested);
  if (!remote.Ok() || !remote.Write(0, &suggested, sizeof suggested)) return 2;
  SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote.At(0)));
  return 0;
}

int Usage() {
  std::fputs("usage: hvtest <subcommand> ... (see the source)\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  auto arg = [&](int i) -> std::string { return i < argc ? argv[i] : ""; };
  auto number = [&](int i) {
    return static_cast<DWORD>(std::strtoul(arg(i).c_str(), nullptr, 10));
  };

  if (command == "hold-mutex" && argc == 5) return HoldMutex(argv[2], argv[3], argv[4]);
  if (command == "hold-open-for-write" && argc == 5)
    return HoldOpenForWrite(argv[2], argv[3], argv[4]);
  if (command == "run-value" && argc == 3) return RunValue(argv[2]);
  if (command == "set-run-value" && argc == 4) return SetRunValue(argv[2], argv[3]);
  if (command == "wait-run-value" && argc == 5) {
    std::string text;
    const std::string expected = "REG_SZ:" + arg(3);
    return WaitUntil([&] { return ReadRunValue(argv[2], text) == 0 && text == expected; },
                     number(4))
               ? 0
               : 1;
  }
  if (command == "delete-run-value" && argc == 3) return DeleteRunValue(argv[2]);
  if (command == "delete-run-key" && argc == 2)
    return RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRunKey) == ERROR_SUCCESS ? 0 : 2;
  if (command == "create-run-key" && argc == 2) return CreateRunKey();
  if (command == "run-key-read-only" && argc == 2) return SetRunKeyRights("D:P(A;;KR;;;WD)");
  if (command == "run-key-writable" && argc == 2) return SetRunKeyRights("D:(A;;KA;;;WD)");
  if (command == "box-count" && argc == 3) {
    std::printf("%u\n", static_cast<unsigned>(Boxes(arg(2)).size()));
    return 0;
  }
  if (command == "box-text" && argc == 3) {
    const auto boxes = Boxes(arg(2));
    if (boxes.empty()) return 1;
    char text[4096] = "";
    GetDlgItemTextA(boxes.front(), kBoxTextId, text, sizeof text);
    std::printf("%s\n", text);
    return 0;
  }
  if (command == "press-ok" && argc == 3) {
    const auto boxes = Boxes(arg(2));
    if (boxes.empty()) return 1;
    HWND button = GetDlgItem(boxes.front(), IDOK);
    if (button == nullptr) button = FindWindowExA(boxes.front(), nullptr, "Button", nullptr);
    if (button == nullptr) return 2;
    SendMessageA(button, BM_CLICK, 0, 0);
    return 0;
  }
  if (command == "wait-box" && argc == 4)
    return WaitUntil([&] { return !Boxes(arg(2)).empty(); }, number(3)) ? 0 : 1;
  if (command == "window-exists" && argc == 4)
    return WaitUntil([&] { return FindWindowA(argv[2], nullptr) != nullptr; }, number(3)) ? 0 : 1;
  if (command == "visible-windows" && argc == 3) {
    const auto ids = ProcessesNamed(arg(2));
    const auto visible = TopLevelWindows([&](HWND w) {
      DWORD owner = 0;
      GetWindowThreadProcessId(w, &owner);
      for (const DWORD id : ids)
        if (id == owner) return IsWindowVisible(w) != FALSE;
      return false;
    });
    std::printf("%u\n", static_cast<unsigned>(visible.size()));
    for (const HWND w : visible)
      std::printf("visible: class '%s' text '%s'\n", ClassOf(w).c_str(), TextOf(w).c_str());
    return 0;
  }
  if (command == "close-window" && argc == 3) {
    const auto windows = TopLevelWindows([&](HWND w) { return ClassOf(w) == arg(2); });
    for (const HWND w : windows) PostMessageA(w, WM_CLOSE, 0, 0);
    return windows.empty() ? 1 : 0;
  }
  if (command == "kill" && argc == 3) {
    const auto ids = ProcessesNamed(arg(2));
    for (const DWORD id : ids) {
      const HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, id);
      if (process == nullptr) continue;
      TerminateProcess(process, 137);
      CloseHandle(process);
    }
    return ids.empty() ? 1 : 0;
  }
  if (command == "wait-window" && argc == 4) {
    HWND window = nullptr;
    if (!WaitUntil([&] { return (window = WindowCaptioned(arg(2))) != nullptr; }, number(3)))
      return 1;
    std::printf("%s\n", TextOf(window).c_str());
    return 0;
  }
  if ((command == "list-rows" || command == "status-texts" || command == "details-text") &&
      argc == 3) {
    const HWND window = WindowCaptioned(arg(2));
    if (window == nullptr) return 1;
    if (command == "list-rows") return ListRows(window);
    if (command == "status-texts") return StatusTexts(window);
    const HWND edit = ChildOfClass(window, "Edit");
    if (edit == nullptr) return 1;
    // WM_GETTEXT is copied across processes by the system.
    std::vector<char> text(65536, '\0');
    SendMessageA(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    std::printf("%s\n", text.data());
    return 0;
  }
  if ((command == "select-row" || command == "click-header" || command == "key") &&
      (argc == 4 || (argc == 5 && command == "click-header"))) {
    const HWND window = WindowCaptioned(arg(2));
    if (window == nullptr) return 1;
    const int value = static_cast<int>(number(3));
    if (command == "select-row") return SelectRow(window, value);
    if (command == "click-header")
      return ClickHeader(window, value, argc == 5 ? static_cast<int>(number(4)) : 50);
    return PostKey(window, ChildOfClass(window, WC_LISTVIEWA), value, false) ? 0 : 2;
  }
  if (command == "alt-key" && argc == 4 && arg(3).size() == 1) {
    const HWND window = WindowCaptioned(arg(2));
    if (window == nullptr) return 1;
    return PostKey(window, nullptr, LetterKey(arg(3)[0]), true) ? 0 : 2;
  }
  if ((command == "menu-keys" && argc == 4) ||
      ((command == "open-menus" || command == "layout") && argc == 3) ||
      (command == "dpi-changed" && argc == 6)) {
    const HWND window = WindowCaptioned(arg(2));
    if (window == nullptr) return 1;
    if (command == "menu-keys") return MenuKeys(window, arg(3));
    if (command == "layout") return PrintLayout(window);
    if (command == "dpi-changed")
      return DpiChanged(window, static_cast<int>(number(3)), static_cast<int>(number(4)),
                        static_cast<int>(number(5)));
    std::printf("%u\n", static_cast<unsigned>(OpenMenus(window)));
    return 0;
  }
  if (command == "focus" && argc == 3) {
    const HWND window = WindowCaptioned(arg(2));
    const HWND focus = window != nullptr ? FocusOf(window) : nullptr;
    if (focus == nullptr) return 1;
    std::printf("%s\n", ClassOf(focus).c_str());
    return 0;
  }
  return Usage();
}
