// The POSIX lister has no window: it is always the program of the terminal.

#include "lister/Window.h"

bool WindowAvailable() { return false; }
bool StartedOnItsOwn() { return false; }
void LeaveConsole() {}
void ShowStartMessage(const std::string&, bool) {}
int RunWindow(const WindowRequest&) { return 2; }
