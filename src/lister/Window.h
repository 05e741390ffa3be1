#pragma once
// The lister's window: the same survey as the table and the JSON, taken again once a second
// and laid out as a list view with a details area and a status bar. Only the Windows backend
// (src/lister/win32/) has one; the POSIX backend says so.

#include <optional>
#include <string>

#include "lister/Shown.h"
#include "platform/Clock.h"

struct WindowRequest {
  std::string exeDir;                          // the installation folder, with its separator
  std::optional<platform::SystemTime> moment;  // --now: a moment that stands still
  int iterations = 1;                          // next starts per job in the details
  SortOrder order = SortOrder::Next;           // the order before a header is clicked
};

// Whether this platform has the window at all (false on POSIX: --window is a usage error).
bool WindowAvailable();

// Whether the process was started on its own, as Explorer, a shortcut or `start` start it:
// the system made a console for it alone, which would show its text for an instant and
// vanish. A command prompt, PowerShell or a script shares its console (or redirects the
// output) and gets the console program. Decided before anything is written.
bool StartedOnItsOwn();

// Lets go of the console made for this process, so that none stays open beside the window.
void LeaveConsole();

// A text for the person who started the window (help, a usage error, a folder that cannot be
// read), where the window would have been: a message box.
void ShowStartMessage(const std::string& text, bool error);

// Opens the window and runs it until it is closed; the program's exit code.
int RunWindow(const WindowRequest& request);
