#pragma once
// The live view (--watch): the table redrawn in place once a second, like top or watch, until
// q or Ctrl-C. Read-only as every other form of the lister.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lister/Options.h"
#include "platform/Terminal.h"

inline constexpr int kInterruptedExitCode = 130;  // as a shell reports a program ended by Ctrl-C

// The line above the table.
std::string WatchTitle();

// Why --watch cannot run with these options and standard streams (the text of the usage
// error), or nothing when it can: it shows the table at the present moment, on a terminal
// from which it also reads q.
std::optional<std::string> WatchRefusal(const ListerOptions& options, bool outputIsTerminal,
                                        bool inputIsTerminal);

// Shows the lines `frame` gives (a fresh look each time) under the title, once a second and
// at once after any other key, until q (exit code 0) or Ctrl-C (kInterruptedExitCode). Lines
// below the bottom of the screen are left out.
int Watch(platform::LiveTerminal& terminal, const std::function<std::vector<std::string>()>& frame);

// The lines of a text whose lines end with '\n'.
std::vector<std::string> LinesOf(const std::string& text);
