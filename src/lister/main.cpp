// The companion lister: shows what the scheduler sees in one installation folder, and
// changes nothing there (it never writes a file, starts a command, touches the log-on
// registration or takes the scheduler's mutex). Started on its own on Windows, or with
// --window, it shows the same in a window.

#include <algorithm>
#include <string>
#include <vector>

#include "app/ErrorText.h"
#include "app/Sched_main.h"
#include "foundation/DateTimeFormat.h"
#include "lister/Look.h"
#include "lister/Moments.h"
#include "lister/Options.h"
#include "lister/Outputs.h"
#include "lister/Survey.h"
#include "lister/Watch.h"
#include "lister/Window.h"
#include "lister/WindowStart.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/Terminal.h"
#include "platform/TextOutput.h"

namespace {

constexpr int kUsageError = 2;
// The window's details show this many next starts at least.
constexpr int kWindowNextStarts = 5;

// `window`: the person gets the window rather than text, so the message goes in a box.
int Fail(const std::string& message, bool window) {
  if (window)
    ShowStartMessage(ProgramName() + ": " + message, true);
  else
    platform::WriteText(platform::OutputStream::Error, ProgramName() + ": " + message + "\n",
                        platform::TextEncoding::SystemCodePage);
  return kUsageError;
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '\\' && folder.back() != '/')
    folder += platform::kPathSeparator;
  return folder;
}

// The table, looked at again once a second: each look a new survey at the system's moment.
int RunWatch(const ListerOptions& options, const std::string& exeDir) {
  if (const auto refusal = WatchRefusal(options, platform::StandardOutputIsTerminal(),
                                        platform::StandardInputIsTerminal()))
    return Fail(*refusal, false);
  const platform::Clock& system = platform::SystemClock();
  const auto terminal = platform::OpenLiveTerminal();
  return Watch(*terminal, [&] {
    // One reading of the clock for the whole screen, as for the table written once.
    const FixedClock clock(system.LocalTime(), system);
    const Look look = TakeLook(exeDir, clock, options.iterations);
    return LinesOf(TableOutput(look.survey, look.presence, options.all, clock, options.sort));
  });
}

int Run(const ListerOptions& options, bool window) {
  const std::string exeDir = options.dir.empty()
                                 ? FolderOfPath(platform::ExecutablePath())
                                 : WithSeparator(platform::FullPath(options.dir));
  if (!platform::FolderExists(exeDir))
    return Fail("cannot read the folder \"" + exeDir + "\"", window);
  if (options.watch && !window) return RunWatch(options, exeDir);

  platform::Clock& system = platform::SystemClock();
  platform::SystemTime moment = system.LocalTime();
  if (!options.now.empty()) {
    const auto asked = ParseLocalMoment(options.now, moment);
    if (!asked)
      return Fail("--now: \"" + options.now + "\" is not a moment such as 2026-12-09T14:29:00",
                  window);
    moment = *asked;
  }
  if (window) {
    WindowRequest request;
    request.exeDir = exeDir;
    if (!options.now.empty()) request.moment = moment;
    request.iterations = std::max(options.iterations, kWindowNextStarts);
    request.order = options.sort;
    return RunWindow(request);
  }
  const FixedClock clock(moment, system);

  const auto [survey, presence] = TakeLook(exeDir, clock, options.iterations);
  switch (options.output) {
    case OutputKind::Table:
      platform::WriteText(platform::OutputStream::Standard,
                          TableOutput(survey, presence, options.all, clock, options.sort),
                          platform::TextEncoding::SystemCodePage);
      break;
    case OutputKind::List:
      platform::WriteText(platform::OutputStream::Standard,
                          ListOutput(survey, presence, options.all, clock, options.sort),
                          platform::TextEncoding::SystemCodePage);
      break;
    case OutputKind::Json:
      platform::WriteText(platform::OutputStream::Standard,
                          JsonOutput(survey, presence, ProgramVersion(), clock),
                          platform::TextEncoding::Utf8);
      break;
  }
  return survey.HasErrors() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Decided before anything is written: a console made for this process alone would only
  // flash the text.
  const bool onItsOwn = StartedOnItsOwn();
  const WindowArguments arguments = TakeWindowOption(argc, argv);
  std::vector<const char*> rest;
  for (const std::string& argument : arguments.rest) rest.push_back(argument.c_str());
  const CommandLine command =
      ReadCommandLine(static_cast<int>(rest.size()), rest.data(), WindowAvailable());
  if (arguments.window && !WindowAvailable()) return Fail(kNoWindowMessage, false);
  const bool window = arguments.window || onItsOwn;
  if (onItsOwn) LeaveConsole();
  if (!command.options && window) {
    ShowStartMessage(command.text, command.exitCode != 0);
    return command.exitCode;
  }
  if (!command.options) {
    platform::WriteText(
        command.toStandardOutput ? platform::OutputStream::Standard : platform::OutputStream::Error,
        command.text, platform::TextEncoding::SystemCodePage);
    return command.exitCode;
  }
  try {
    LoadDateTimeFormat(platform::SystemLocale());
    return Run(*command.options, window);
  } catch (...) {
    return Fail(CurrentErrorMessage(), window);
  }
}
