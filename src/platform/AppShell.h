#pragma once
// The application object: a never-shown main window, its timers, the message loop and the
// modal error box. On POSIX the loop waits for timer deadlines, signals and the session bus:
// SIGTERM and SIGINT end it with code 0, SIGHUP counts as a settings change, and the error
// box is a desktop notification, written on standard error as well (there alone, bounded,
// without a bus or a notification server). SIGPIPE is ignored there while the shell exists:
// a standard error that nobody reads any more fails the line, never the program.

#include <functional>
#include <memory>
#include <string>

namespace platform {

// A running timer; destroying it stops it. It must not outlive the shell that started it.
class Timer {
 public:
  virtual ~Timer() = default;
};

class AppShell {
 public:
  virtual ~AppShell() = default;

  virtual void SetTitle(const std::string& title) = 0;
  virtual const std::string& Title() const = 0;

  // Starts a timer whose ticks the message loop dispatches one at a time on this thread.
  // Raises EOutOfResources "Not enough timers available" when the platform refuses it.
  // An error that escapes a tick or the settings-change handler ends Run with that error.
  virtual std::unique_ptr<Timer> StartTimer(unsigned intervalMs, std::function<void()> onTick) = 0;
  // Called on a change of system settings (WM_SETTINGCHANGE, "TaskbarCreated"; SIGHUP).
  virtual void OnSettingsChange(std::function<void()> handler) = 0;

  // Runs the message loop until the main form is closed (or, on Windows, the session ends;
  // on POSIX, SIGTERM or SIGINT arrives); returns the quit code, 0.
  virtual int Run() = 0;
  // Closing the main form: returns at once; the loop ends with code 0 once the current
  // dispatch has finished.
  virtual void CloseMainForm() = 0;
  // Modal box with `text`, the title as caption, the error icon and one OK button. Timer
  // ticks keep being dispatched while it is open. `onClosed` runs once the box has closed:
  // on Windows before this returns, on POSIX when the notification is dismissed (from the
  // message loop), or before this returns when the text only went to standard error.
  virtual void ShowErrorBox(const std::string& text, std::function<void()> onClosed) = 0;
};

std::unique_ptr<AppShell> CreateAppShell();

}  // namespace platform
