#pragma once
// --window on the command line: taken out before the other options are read, so that the
// console program reads exactly the command line it always did.

#include <string>
#include <vector>

struct WindowArguments {
  bool window = false;            // --window was given
  std::vector<std::string> rest;  // the arguments without it (argv[0] first)
};

WindowArguments TakeWindowOption(int argc, const char* const* argv);

// The message of --window where there is no window (a usage error).
inline constexpr const char* kNoWindowMessage =
    "--window: only the Windows program has a window; here the lister prints its table";
