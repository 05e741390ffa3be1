#pragma once
// The terminal (a console on Windows) as a live view uses it: a screen redrawn in place and
// keys read one at a time, without echo and without waiting for Enter.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Whether standard output goes to a terminal (not to a file or a pipe), and whether standard
// input comes from one (a console on Windows).
bool StandardOutputIsTerminal();
bool StandardInputIsTerminal();

inline constexpr char kInterruptKey = '\x03';  // Ctrl-C, read as a key while the view is up

struct TerminalSize {
  int rows = 24, columns = 80;
};

class LiveTerminal {
 public:
  virtual ~LiveTerminal() = default;
  virtual TerminalSize Size() const = 0;
  // Replaces what the screen shows by `lines` (texts in the system's code page), from the top;
  // what does not fit the width is cut off, not wrapped.
  virtual void Show(const std::vector<std::string>& lines) = 0;
  // The next key pressed within `timeout`, as a character (Ctrl-C as kInterruptKey); nothing
  // when none was. A change of the terminal's size does not end the wait: Size, asked again
  // for the next screen, has it.
  virtual std::optional<char> WaitForKey(std::chrono::milliseconds timeout) = 0;
};

// Takes over the terminal of standard output and input: a screen of its own (the one before
// comes back afterwards), keys unbuffered and unechoed, Ctrl-C a key instead of a signal. All
// of it is undone when the object goes, and on POSIX also when a signal ends the process.
// Both must be the terminal: with standard input elsewhere no key can come, and on POSIX
// Ctrl-C stays a signal that nothing here catches.
std::unique_ptr<LiveTerminal> OpenLiveTerminal();

}  // namespace platform
