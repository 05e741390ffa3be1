#include "platform/Terminal.h"

#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

#include "foundation/Exception.h"

namespace platform {

namespace {

// Escape sequences of the terminals in use (VT100 and xterm): the alternate screen, the
// cursor hidden, lines cut off at the right margin instead of wrapped, and what undoes them.
constexpr std::string_view kEnter = "\x1b[?1049h\x1b[?25l\x1b[?7l";
constexpr std::string_view kLeave = "\x1b[?7h\x1b[?25h\x1b[?1049l";

// What a signal handler needs to give the terminal back: set before the handlers go in.
struct termios savedModes;
const int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // the terminal went away: nothing left to show it on
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// Only async-signal-safe calls: the terminal back as it was, then the signal's own ending.
void GiveBackAndEnd(int signal) {
  ::tcsetattr(STDIN_FILENO, TCSANOW, &savedModes);
  ssize_t ignored = ::write(STDOUT_FILENO, kLeave.data(), kLeave.size());
  (void)ignored;
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

class PosixLiveTerminal : public LiveTerminal {
 public:
  PosixLiveTerminal() {
    inputIsTerminal_ = ::tcgetattr(STDIN_FILENO, &savedModes) == 0;
    if (inputIsTerminal_) {
      struct termios raw = savedModes;
      raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
      raw.c_cc[VMIN] = 1;
      raw.c_cc[VTIME] = 0;
      if (::tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0)
        throw Exception(std::string("Cannot set up the terminal: tcsetattr: ") +
                        std::strerror(errno));
      for (const int signal : kEndingSignals) ::signal(signal, GiveBackAndEnd);
    }
    WriteAll(kEnter);
  }

  ~PosixLiveTerminal() override {
    WriteAll(kLeave);
    if (inputIsTerminal_) {
      for (const int signal : kEndingSignals) ::signal(signal, SIG_DFL);
      ::tcsetattr(STDIN_FILENO, TCSANOW, &savedModes);
    }
  }

  TerminalSize Size() const override {
    struct winsize size {};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0)
      return {};
    return {size.ws_row, size.ws_col};
  }

  void Show(const std::vector<std::string>& lines) override {
    // Home, each line over the old one with the rest of it cleared, then the rest of the screen
    // cleared: in one write, so that nothing flickers.
    std::string screen = "\x1b[H";
    for (std::size_t i = 0; i < lines.size(); ++i)
      screen += lines[i] + "\x1b[K" + (i + 1 < lines.size() ? "\r\n" : "");
    screen += "\x1b[J";
    WriteAll(screen);
  }

  std::optional<char> WaitForKey(std::chrono::milliseconds timeout) override {
    pollfd input{};
    input.fd = STDIN_FILENO;
    input.events = POLLIN;
    // Input at its end (not a terminal, or closed) is no key: only the time is waited.
    const int ready = ::poll(&input, inputOpen_ ? 1 : 0, static_cast<int>(timeout.count()));
    // The time passed. A change of size does not cut it short: SIGWINCH keeps its default
    // (ignored), and the new size shows on the next screen, within the second.
    if (ready <= 0) return std::nullopt;
    char key = 0;
    const ssize_t got = ::read(STDIN_FILENO, &key, 1);
    if (got == 1) return key;
    if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) {
      inputOpen_ = false;  // no key will come: the rest of the time is only waited
      ::poll(nullptr, 0, static_cast<int>(timeout.count()));
    }
    return std::nullopt;
  }

 private:
  bool inputIsTerminal_ = false;
  bool inputOpen_ = true;
};

}  // namespace

bool StandardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }
bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

std::unique_ptr<LiveTerminal> OpenLiveTerminal() { return std::make_unique<PosixLiveTerminal>(); }

}  // namespace platform
