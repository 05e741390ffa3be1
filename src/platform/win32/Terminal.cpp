#include "platform/Terminal.h"

#include <windows.h>

#include "foundation/Exception.h"
#include "platform/win32/Win32Error.h"

namespace platform {

namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

// Set by a Ctrl-C or Ctrl-Break that comes as a console control event (as where the console
// does not hand it over as a key) instead of letting it end the process with the view up.
HANDLE interrupted = nullptr;

BOOL WINAPI OnControl(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  SetEvent(interrupted);
  return TRUE;
}

// A screen buffer of its own, made active for the view and given back afterwards (as the
// alternate screen of a terminal); the input without line editing, echo or Ctrl-C handling,
// so that keys and Ctrl-C come as key events.
class Win32LiveTerminal : public LiveTerminal {
 public:
  Win32LiveTerminal()
      : input_(GetStdHandle(STD_INPUT_HANDLE)), original_(GetStdHandle(STD_OUTPUT_HANDLE)) {
    screen_ =
        CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (screen_ == INVALID_HANDLE_VALUE)
      throw Exception(Win32ErrorText("CreateConsoleScreenBuffer", GetLastError()));
    // Lines longer than the window are cut off, never wrapped.
    SetConsoleMode(screen_, ENABLE_PROCESSED_OUTPUT);
    CONSOLE_CURSOR_INFO cursor{1, FALSE};
    SetConsoleCursorInfo(screen_, &cursor);
    SetConsoleActiveScreenBuffer(screen_);
    inputIsConsole_ = GetConsoleMode(input_, &inputMode_) != 0;
    if (inputIsConsole_) SetConsoleMode(input_, ENABLE_EXTENDED_FLAGS);
    interrupted = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (interrupted != nullptr) SetConsoleCtrlHandler(OnControl, TRUE);
  }

  ~Win32LiveTerminal() override {
    if (interrupted != nullptr) {
      SetConsoleCtrlHandler(OnControl, FALSE);
      CloseHandle(interrupted);
      interrupted = nullptr;
    }
    if (inputIsConsole_) SetConsoleMode(input_, inputMode_);
    SetConsoleActiveScreenBuffer(original_);
    CloseHandle(screen_);
  }

  TerminalSize Size() const override {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(screen_, &info)) return {};
    return {info.srWindow.Bottom - info.srWindow.Top + 1,
            info.srWindow.Right - info.srWindow.Left + 1};
  }

  void Show(const std::vector<std::string>& lines) override {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(screen_, &info)) return;
    const SHORT width = info.dwSize.X;
    const SHORT height = info.srWindow.Bottom - info.srWindow.Top + 1;
    // Each line written over the old one and padded with blanks to the buffer's width: no
    // clearing first, so that nothing flickers.
    for (SHORT y = 0; y < height; ++y) {
      std::wstring text = y < static_cast<SHORT>(lines.size()) ? Wide(lines[y]) : std::wstring();
      text.resize(static_cast<std::size_t>(width), L' ');
      DWORD written = 0;
      WriteConsoleOutputCharacterW(screen_, text.data(), static_cast<DWORD>(text.size()),
                                   COORD{0, static_cast<SHORT>(info.srWindow.Top + y)}, &written);
    }
  }

  std::optional<char> WaitForKey(std::chrono::milliseconds timeout) override {
    // Focus and key-up events are no key: they are read and the rest of the time waited.
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
      HANDLE waits[2];
      DWORD count = 0;
      if (interrupted != nullptr) waits[count++] = interrupted;
      if (inputIsConsole_) waits[count++] = input_;
      if (count == 0) {
        Sleep(static_cast<DWORD>(deadline - now));
        break;
      }
      const DWORD woken =
          WaitForMultipleObjects(count, waits, FALSE, static_cast<DWORD>(deadline - now));
      if (woken >= WAIT_OBJECT_0 + count) break;  // the time passed, or the wait failed
      if (waits[woken - WAIT_OBJECT_0] == interrupted) return kInterruptKey;
      INPUT_RECORD record{};
      DWORD read = 0;
      if (!ReadConsoleInputW(input_, &record, 1, &read) || read != 1) break;
      if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) continue;
      const WCHAR c = record.Event.KeyEvent.uChar.UnicodeChar;
      if (c != 0 && c <= 0x7F) return static_cast<char>(c);
    }
    return std::nullopt;
  }

 private:
  HANDLE input_;
  HANDLE original_;
  HANDLE screen_ = INVALID_HANDLE_VALUE;
  DWORD inputMode_ = 0;
  bool inputIsConsole_ = false;
};

}  // namespace

bool StandardOutputIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

bool StandardInputIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

std::unique_ptr<LiveTerminal> OpenLiveTerminal() { return std::make_unique<Win32LiveTerminal>(); }

}  // namespace platform
