// How the Windows lister was started, and what it says before its window exists.

#include <windows.h>

#include "lister/Window.h"

namespace {

// Wine's ntdll exports wine_get_version; the ntdll of Windows never does, so on Windows this
// is false and the branch that asks it below is never taken.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

bool WindowAvailable() { return true; }

bool StartedOnItsOwn() {
  // A console shared with another process (cmd, PowerShell, a script's host) is the
  // person's or the script's: the console program it is. No console at all (started
  // detached, output taken by the caller) likewise.
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1) return false;
  // Output that goes to a file or a pipe is wanted as text.
  DWORD mode = 0;
  if (!GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode)) return false;
  // Under Wine a program typed in a terminal of the host (`wine64 HarbovaleJobs.exe`, as the
  // README says for Wine) has a console to itself too, whose window is never shown; `start`
  // gives one a window. On Windows that visibility tells nothing: a console hosted by a
  // terminal application (the default terminal of Windows 11) has a pseudo window whose
  // visibility need not follow the terminal's, and a double-click must still open the window.
  if (UnderWine() && !IsWindowVisible(GetConsoleWindow())) return false;
  return true;
}

void LeaveConsole() { FreeConsole(); }

void ShowStartMessage(const std::string& text, bool error) {
  MessageBoxA(nullptr, text.c_str(), "Harbovale Jobs",
              MB_OK | MB_SETFOREGROUND | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}
