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

// A screen buffer of its own, made active for the view and given back afterwards (as the
// alternate screen of a terminal); the input without line editing, echo or Ctrl-C handling,
// so that keys and Ctrl-C come as key events.
class Win32LiveTerminal : public LiveTerminal {
 public:
  Win32LiveTerminal()
      : input_(GetStdHandle(STD_INPUT_HANDLE)), original_(GetStdHandle(STD_OUTPUT_HANDLE)) {
    screen_ = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (screen_ == INVALID_HANDLE_VALUE)
      throw Exception(Win32ErrorText("CreateConsoleScreenBuffer", GetLastError()));
    // Lines longer than the window are cut off, never wrapped.
    SetConsoleMode(screen_, ENABLE_PROCESSED_OUTPUT);
    CONSOLE_CURSOR_INFO cursor{1, FALSE};
    SetConsoleCursorInfo(screen_, &cursor);
    SetConsoleActiveScreenBuffer(screen_);
    inputIsConsole_ = GetConsoleMode(input_, &inputMode_) != 0;
    if (inputIsConsole_) SetConsoleMode(input_, ENABLE_EXTENDED_FLAGS);
  }

  ~Win32LiveTerminal() override {
    if (inputIsConsole_) SetConsoleMode(input_, inputMode_);
    SetConsoleActiveScreenBuffer(original_);
    CloseHandle(screen_);
  }

  TerminalSize Size() const override {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(screen_, &info)) return {};
    return {info.srWindow.Bottom - info.srWindow.Top + 1, info.srWindow.Right - info.srWindow.Left + 1};
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
    if (!inputIsConsole_) {
      Sleep(static_cast<DWORD>(timeout.count()));
      return std::nullopt;
    }
    if (WaitForSingleObject(input_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
      return std::nullopt;
    INPUT_RECORD record{};
    DWORD read = 0;
    // One event per call: mouse, focus and key-up events are no key; the caller waits on.
    if (!ReadConsoleInputW(input_, &record, 1, &read) || read != 1) return std::nullopt;
    if (record.EventType != KEY_EVENT || !record.Event.KeyEvent.bKeyDown) return std::nullopt;
    const WCHAR c = record.Event.KeyEvent.uChar.UnicodeChar;
    if (c == 0 || c > 0x7F) return std::nullopt;
    return static_cast<char>(c);
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

std::unique_ptr<LiveTerminal> OpenLiveTerminal() { return std::make_unique<Win32LiveTerminal>(); }

}  // namespace platform
