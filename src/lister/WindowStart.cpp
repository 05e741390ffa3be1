#include "lister/WindowStart.h"

WindowArguments TakeWindowOption(int argc, const char* const* argv) {
  WindowArguments result;
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    // After "--" every argument is a value, never an option.
    if (argument == "--") {
      for (; i < argc; ++i) result.rest.emplace_back(argv[i]);
      break;
    }
    if (i > 0 && argument == "--window")
      result.window = true;
    else
      result.rest.push_back(argument);
  }
  return result;
}
