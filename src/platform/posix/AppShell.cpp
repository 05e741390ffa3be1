// The application object on POSIX: a loop that sleeps in one ppoll until the next timer is
// due, a signal arrives or the session bus has something. SIGTERM, SIGINT and SIGHUP are
// blocked while the shell exists and read only through its signalfd, so they never
// interrupt a tick: SIGTERM and SIGINT end the loop with code 0, SIGHUP stands for a change
// of system settings.
//
// The error box is a desktop notification (DesktopNotice), and every error shown is also a
// line on standard error. Without a bus or a notification server the line alone stands for
// the box, and since it closes at once it is bounded instead: written only when its text
// differs from the last one written or a tick ran without an error since.
//
// SIGPIPE is ignored while the shell exists: standard error may be a pipe or a socket whose
// reader has gone (a pipeline that ended, a session log that restarted), and a line nobody
// reads must fail as a write, not end the program. Commands started meanwhile get SIGPIPE
// back at its default (see Launcher).

#include "platform/AppShell.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <optional>
#include <string_view>

#include "foundation/Exception.h"
#include "platform/posix/shell/DesktopNotice.h"

namespace platform {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Shortest interval, as on Windows: asking for less gives this.
constexpr unsigned kMinimumIntervalMs = 10;

[[noreturn]] void RaiseSystemError(const char* call) {
  throw Exception(std::string(call) + " failed: " + std::strerror(errno));
}

class PosixAppShell;

class PosixTimer final : public Timer {
 public:
  PosixTimer(PosixAppShell& shell, unsigned id) : shell_(shell), id_(id) {}
  ~PosixTimer() override;

 private:
  PosixAppShell& shell_;
  unsigned id_;
};

class PosixAppShell final : public AppShell {
 public:
  PosixAppShell() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    if (sigaction(SIGPIPE, &ignore, &previousPipe_) != 0) RaiseSystemError("sigaction");
    // Unblocked, the first SIGHUP would end the process instead of reloading the settings.
    sigemptyset(&signals_);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) sigaddset(&signals_, signal);
    if (sigprocmask(SIG_BLOCK, &signals_, &previousMask_) != 0) {
      const int error = errno;
      sigaction(SIGPIPE, &previousPipe_, nullptr);
      errno = error;
      RaiseSystemError("sigprocmask");
    }
    signalFd_ = signalfd(-1, &signals_, SFD_NONBLOCK | SFD_CLOEXEC);
    if (signalFd_ < 0) {
      const int error = errno;
      sigprocmask(SIG_SETMASK, &previousMask_, nullptr);
      sigaction(SIGPIPE, &previousPipe_, nullptr);
      errno = error;
      RaiseSystemError("signalfd");
    }
  }
  // The connection to the bus is closed first, with our signals still blocked: a SIGTERM
  // that comes meanwhile waits and is then read here, so it cannot end the program half-way
  // through the close (its last notification unsent); the program ends as it was ending.
  // Putting the mask and SIGPIPE back cannot fail with what the system gave; and a
  // destructor has nobody to tell.
  ~PosixAppShell() override {
    notice_.Finish();
    signalfd_siginfo pending;
    while (read(signalFd_, &pending, sizeof pending) == static_cast<ssize_t>(sizeof pending)) {
    }
    close(signalFd_);
    sigprocmask(SIG_SETMASK, &previousMask_, nullptr);
    sigaction(SIGPIPE, &previousPipe_, nullptr);
  }

  void SetTitle(const std::string& title) override { title_ = title; }
  const std::string& Title() const override { return title_; }

  std::unique_ptr<Timer> StartTimer(unsigned intervalMs, std::function<void()> onTick) override {
    const auto interval = std::chrono::milliseconds(std::max(intervalMs, kMinimumIntervalMs));
    const unsigned id = nextTimerId_++;
    timers_[id] = Entry{interval, SteadyClock::now() + interval, std::move(onTick)};
    return std::make_unique<PosixTimer>(*this, id);
  }
  void StopTimer(unsigned id) { timers_.erase(id); }

  void OnSettingsChange(std::function<void()> handler) override {
    settingsChanged_ = std::move(handler);
  }

  int Run() override {
    while (!closing_) {
      const int signal = Wait();
      if (signal == SIGTERM || signal == SIGINT) return 0;
      if (signal == SIGHUP) {
        if (settingsChanged_) settingsChanged_();
        continue;
      }
      DispatchDueTimer();
    }
    return 0;
  }

  void CloseMainForm() override { closing_ = true; }

  // A line that cannot be written (nobody reads standard error any more) has nowhere else
  // to go: like an error that is not shown, it ends nothing, the program goes on as after
  // the box was closed, and the bound does not count it.
  // Cold, as everything that runs only around an error (see DesktopNotice).
  [[gnu::cold]] void ShowErrorBox(const std::string& text, std::function<void()> onClosed) override {
    errorInTick_ = true;
    const bool serverWasMissing = notice_.ServerMissing();
    if (notice_.Show(title_, text, onClosed)) {
      // Sent to a server that was there last time: the line goes with it, once.
      if (serverWasMissing) WriteBounded(text); else WriteLine(text);
      return;
    }
    WriteBounded(text);
    onClosed();
  }

 private:
  [[gnu::cold]] void WriteBounded(const std::string& text) {
    if (text == lastLine_ && !quietTickSinceLine_) return;
    WriteLine(text);
  }

  // Counts for the bound only when the whole line was written.
  [[gnu::cold]] void WriteLine(const std::string& text) {
    const std::string line = (title_.empty() ? text : title_ + ": " + text) + "\n";
    std::string_view rest = line;
    while (!rest.empty()) {
      const ssize_t written = write(STDERR_FILENO, rest.data(), rest.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return;
      rest.remove_prefix(static_cast<std::size_t>(written));
    }
    lastLine_ = text;
    quietTickSinceLine_ = false;
  }

  struct Entry {
    std::chrono::milliseconds interval;
    SteadyClock::time_point due;
    std::function<void()> tick;
  };

  // Waits until the earliest timer is due, one of our signals is pending or the bus has
  // something (handled here); returns the signal, or 0 for anything else.
  int Wait() {
    if (notice_.Connected()) notice_.Process();
    std::optional<SteadyClock::time_point> due;
    if (notice_.Connected()) due = notice_.Deadline();
    for (const auto& [id, entry] : timers_)
      if (!due || entry.due < *due) due = entry.due;
    timespec timeout{};
    const timespec* limit = nullptr;
    if (due) {
      const auto wait = std::max(SteadyClock::duration::zero(), *due - SteadyClock::now());
      const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
      timeout = {static_cast<time_t>(seconds.count()),
                 static_cast<long>((wait - seconds) / std::chrono::nanoseconds(1))};
      limit = &timeout;
    }
    pollfd watched[2] = {{signalFd_, POLLIN, 0}, {-1, 0, 0}};
    if (notice_.Connected()) watched[1] = {notice_.Descriptor(), notice_.Events(), 0};
    const nfds_t count = watched[1].fd >= 0 ? 2 : 1;
    if (ppoll(watched, count, limit, nullptr) < 0) {
      if (errno == EINTR) return 0;
      RaiseSystemError("ppoll");
    }
    if (count == 2 && watched[1].revents != 0) notice_.Process();
    if ((watched[0].revents & POLLIN) == 0) return 0;
    return ReadSignal();
  }

  // The next pending signal of ours, or 0 when none is left.
  int ReadSignal() {
    signalfd_siginfo info;
    const ssize_t got = read(signalFd_, &info, sizeof info);
    if (got == static_cast<ssize_t>(sizeof info)) return static_cast<int>(info.ssi_signo);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    RaiseSystemError("read of the signal descriptor");
  }

  // Runs the tick of one timer that is due, if any. A tick that overran its interval is
  // not made up for: the next one is due a whole interval later, as with WM_TIMER.
  void DispatchDueTimer() {
    const auto now = SteadyClock::now();
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
      if (it->second.due <= now && (next == timers_.end() || it->second.due < next->second.due))
        next = it;
    if (next == timers_.end()) return;
    Entry& entry = next->second;
    entry.due += entry.interval;
    if (entry.due <= now) entry.due = now + entry.interval;
    const std::function<void()> tick = entry.tick;  // the tick may stop its own timer
    errorInTick_ = false;
    tick();
    // While a notification is open the box holds errors back before they reach the shell:
    // such a tick says nothing about whether errors went on.
    if (!errorInTick_ && !notice_.Open()) quietTickSinceLine_ = true;
  }

  struct sigaction previousPipe_ {};
  sigset_t signals_{};
  sigset_t previousMask_{};
  int signalFd_ = -1;
  std::string title_;
  std::map<unsigned, Entry> timers_;
  unsigned nextTimerId_ = 1;
  std::function<void()> settingsChanged_;
  bool closing_ = false;
  posix::DesktopNotice notice_;
  std::string lastLine_;
  bool quietTickSinceLine_ = false;
  bool errorInTick_ = false;
};

PosixTimer::~PosixTimer() { shell_.StopTimer(id_); }

}  // namespace

std::unique_ptr<AppShell> CreateAppShell() { return std::make_unique<PosixAppShell>(); }

}  // namespace platform
