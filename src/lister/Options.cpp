#include "lister/Options.h"

#include <CLI/CLI.hpp>

#include "lister/Outputs.h"

#ifndef LISTER_VERSION
#error "LISTER_VERSION comes from CMake"
#endif

std::string ProgramName() { return "harbovale-jobs"; }
std::string ProgramVersion() { return ProgramName() + " " + LISTER_VERSION; }
std::string SchedulerFileName() { return SCHEDULER_FILE_NAME; }

CommandLine ReadCommandLine(int argc, const char* const* argv, bool window) {
  CLI::App app(
      "Shows what the Harbovale scheduler sees in its folder: every file of \"Backup Jobs\", "
      "when each job last started and will next start, and why a job does not run. Reads "
      "only; safe to run at any time, also while the scheduler runs.",
      ProgramName());
  ListerOptions options;
  app.add_option("--dir", options.dir,
                 "The installation folder: the one holding the scheduler, \"Backup Jobs\" and "
                 "\"qelvarn.dat\" (default: this program's own folder)")
      ->type_name("FOLDER");
  app.add_option("--now", options.now,
                 "Look as if it were this local moment: 2026-12-09T14:29:00, 2026-12-09 14:29, "
                 "2026-12-09, or 22:00 (today)")
      ->type_name("TIME");
  app.add_option("--iterations", options.iterations,
                 "How many next starts per job to work out (list and JSON show them all)")
      ->check(CLI::Range(1, 1000).description(""))
      ->type_name("N (1 to 1000)");
  std::string output = "table";
  app.add_option("--output", output, "table (default), list (one block per job) or json")
      ->check(CLI::IsMember({"table", "list", "json"}).description(""))
      ->type_name("FORM");
  app.add_flag("--all", options.all, "Also show off and ignored files (they are always counted)");
  std::string sort = "next";
  app.add_option("--sort", sort,
                 "Order of the rows: next (default: the soonest next start first, then jobs that "
                 "will not start, then off and ignored files), file (by name), or listing (the "
                 "scheduler's own order, which decides what an error holds back)")
      ->check(CLI::IsMember({"next", "file", "listing"}).description(""))
      ->type_name("ORDER");
  app.add_flag("--watch", options.watch,
               "Show the table in the terminal and redraw it once a second until q or Ctrl-C");
  bool windowShown = false;
  if (window)
    app.add_flag("--window", windowShown,
                 "Show the same in a window that stays up to date (also what starting the "
                 "program from Explorer or a shortcut does)");
  app.set_version_flag("--version", ProgramVersion() + " (JSON schema " +
                                        std::to_string(kJsonSchemaVersion) + ")");
  app.footer(
      "Exit codes: 0 every listed job is fine; 1 the listing worked, but a job would fail in "
      "the scheduler; 2 usage error, or the folder cannot be read. --watch ends with 0 after q, "
      "130 after Ctrl-C.");

  CommandLine result;
  try {
    app.parse(argc, argv);
    options.output = output == "json"   ? OutputKind::Json
                     : output == "list" ? OutputKind::List
                                        : OutputKind::Table;
    options.sort = sort == "file"      ? SortOrder::File
                   : sort == "listing" ? SortOrder::Listing
                                       : SortOrder::Next;
    result.options = options;
  } catch (const CLI::CallForHelp&) {
    result.text = app.help();
    result.toStandardOutput = true;
  } catch (const CLI::CallForVersion& version) {
    result.text = std::string(version.what()) + "\n";
    result.toStandardOutput = true;
  } catch (const CLI::ParseError& error) {
    result.text = ProgramName() + ": " + error.what() + "\nRun with --help for more information.\n";
    result.exitCode = 2;
  }
  return result;
}
