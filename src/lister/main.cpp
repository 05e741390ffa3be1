// The companion lister: shows what the scheduler sees in one installation folder, and
// changes nothing there (it never writes a file, starts a command, touches the log-on
// registration or takes the scheduler's mutex).

#include <string>

#include "app/ErrorText.h"
#include "app/Sched_main.h"
#include "foundation/DateTimeFormat.h"
#include "lister/Moments.h"
#include "lister/Options.h"
#include "lister/Outputs.h"
#include "lister/SchedulerPresence.h"
#include "lister/Survey.h"
#include "lister/Watch.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/Terminal.h"
#include "platform/TextOutput.h"

namespace {

constexpr int kUsageError = 2;

int Fail(const std::string& message) {
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
  if (options.output != OutputKind::Table)
    return Fail("--watch shows the table: it cannot be combined with --output=" +
                std::string(options.output == OutputKind::Json ? "json" : "list"));
  if (!options.now.empty())
    return Fail("--watch shows the present moment: it cannot be combined with --now");
  if (!platform::StandardOutputIsTerminal())
    return Fail("--watch needs a terminal: standard output is a file or a pipe (leave out "
                "--watch to write the table there)");
  const platform::Clock& clock = platform::SystemClock();
  const auto terminal = platform::OpenLiveTerminal();
  return Watch(*terminal, [&] {
    const Survey survey = TakeSurvey(exeDir, clock, options.iterations);
    const SchedulerPresence presence = LookForScheduler(exeDir, SchedulerFileName());
    return LinesOf(TableOutput(survey, presence, options.all, clock, options.sort));
  });
}

int Run(const ListerOptions& options) {
  const std::string exeDir = options.dir.empty()
                                 ? FolderOfPath(platform::ExecutablePath())
                                 : WithSeparator(platform::FullPath(options.dir));
  if (!platform::FolderExists(exeDir)) return Fail("cannot read the folder \"" + exeDir + "\"");
  if (options.watch) return RunWatch(options, exeDir);

  platform::Clock& system = platform::SystemClock();
  platform::SystemTime moment = system.LocalTime();
  if (!options.now.empty()) {
    const auto asked = ParseLocalMoment(options.now, moment);
    if (!asked) return Fail("--now: \"" + options.now + "\" is not a moment such as 2026-12-09T14:29:00");
    moment = *asked;
  }
  const FixedClock clock(moment, system);

  const Survey survey = TakeSurvey(exeDir, clock, options.iterations);
  const SchedulerPresence presence = LookForScheduler(exeDir, SchedulerFileName());
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
  const CommandLine command = ReadCommandLine(argc, argv);
  if (!command.options) {
    platform::WriteText(
        command.toStandardOutput ? platform::OutputStream::Standard : platform::OutputStream::Error,
        command.text, platform::TextEncoding::SystemCodePage);
    return command.exitCode;
  }
  try {
    LoadDateTimeFormat(platform::SystemLocale());
    return Run(*command.options);
  } catch (...) {
    return Fail(CurrentErrorMessage());
  }
}
