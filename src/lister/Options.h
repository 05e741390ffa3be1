#pragma once
// The lister's command line, read with CLI11.

#include <optional>
#include <string>

#include "lister/Shown.h"

enum class OutputKind { Table, List, Json };

struct ListerOptions {
  std::string dir;  // the installation folder; empty: the lister's own folder
  std::string now;  // the moment to look from; empty: now
  int iterations = 1;
  OutputKind output = OutputKind::Table;
  bool all = false;
  SortOrder sort = SortOrder::Next;
  bool watch = false;  // redraw the table once a second until q or Ctrl-C
};

// What the command line asks for: options to run with, or a text to print and an exit code
// (help and version: standard output, 0; a usage error: standard error, 2).
struct CommandLine {
  std::optional<ListerOptions> options;
  std::string text;
  bool toStandardOutput = false;
  int exitCode = 0;
};

// `window`: the program can show a window, so --help names --window (which main takes off
// the command line before it comes here).
CommandLine ReadCommandLine(int argc, const char* const* argv, bool window = false);

// The lister's name and version ("harbovale-jobs 1.0.0"), and the scheduler's executable
// that it looks for beside it.
std::string ProgramName();
std::string ProgramVersion();
std::string SchedulerFileName();
