#pragma once
// What the scheduler makes of one installation folder at one moment: every entry of its job
// folder in the order its rebuild meets them, what becomes of each, when each listed job
// starts next, and what each error costs. Read with the scheduler's own code (job files,
// the last-run store, the due rule); nothing is written.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Sched_main.h"
#include "foundation/DateTimeValue.h"
#include "platform/Clock.h"

enum class JobStatus { Scheduled, Due, Started, Missed, Off, Ignored, Error };

// The status as one English word ("scheduled", "due", ...), whatever the locale.
std::string_view StatusWord(JobStatus status);

// Where an error stops the scheduler: a job file that cannot be read stops the rebuild of
// the job list; a listed job that cannot be read stops the tick's schedule check.
enum class ErrorStage { Rebuild, Tick };
std::string_view StageWord(ErrorStage stage);

struct JobError {
  std::string text;  // exactly as the scheduler's error box shows it
  ErrorStage stage = ErrorStage::Rebuild;
  bool today = true;        // whether it fails on the day looked at
  std::string failingDays;  // a tick error of some days only: those days in words
  // Files of the jobs it keeps from starting: the scheduled job files after it (rebuild),
  // or the jobs after it in the job list (tick; on the failing days).
  std::vector<std::string> holdsBack;
};

struct HeldBack {
  std::string by;  // the file whose error keeps this job from starting
  ErrorStage stage = ErrorStage::Rebuild;
};

// The items of a job's schedule as the schedule check reads them (after the rebuild's
// encoding), and its time read.
struct ScheduleItems {
  std::string doSchedule, days, time, cmd;
  std::optional<DateTimeValue> t;
  std::string words;  // "Mon-Fri 14:30:00", "days 1,15 of the month 02:30:00"
};

struct SurveyRow {
  std::string file;  // the entry's name in the job folder
  bool folder = false;
  JobStatus status = JobStatus::Ignored;
  std::string note;  // why a file is ignored, or what else is worth knowing
  bool listed = false;  // in the scheduler's job list
  std::optional<ScheduleItems> schedule;
  std::optional<std::string> lastText;  // the store's text for the job's command
  std::optional<DateTimeValue> last;    // that text read
  std::vector<DateTimeValue> next;      // the next starts, earliest first
  std::optional<JobError> error;
  std::optional<HeldBack> heldBack;
};

struct SurveyCounts {
  int files = 0, listed = 0, heldBack = 0, off = 0, ignored = 0, withErrors = 0;
};

struct Survey {
  DateTimeValue today = 0, nowOfDay = 0;  // the moment looked at, read from the clock once
  DateTimeValue nowUtc = 0;               // the same moment in UTC, for spans (UtcValue)
  DateTimeValue Now() const { return today + nowOfDay; }
  std::string exeDir, jobsDir;
  std::string folderCopy;  // this user's copy of the folder, laid over it; empty: none named
  std::string storePath;   // the store that start-up loads: in the copy where it holds one
  bool storeFound = false;
  bool jobsFolderMissing = false;
  std::optional<std::string> storeError;    // the scheduler cannot start while this lasts
  std::optional<std::string> listingError;  // the rebuild fails before the first file
  std::vector<SurveyRow> rows;
  int listedJobs = 0;  // entries of the scheduler's job list
  std::vector<std::string> jobList;  // those entries, as the scheduler's rebuild encodes them

  // A rebuild would find nothing to schedule: the scheduler unregisters itself and quits.
  bool SchedulerWouldQuit() const;
  // Some job, the store or the folder makes the scheduler fail.
  bool HasErrors() const;
  SurveyCounts Counts() const;
};

// The survey of the installation folder `exeDir` (with its trailing separator) at the clock's
// moment, with `iterations` next starts per job. It loads the store and builds the job list
// as the scheduler's start-up and rebuild would, in a state of its own: surveys can be taken
// again and again (a live view takes one a second), each from what the folder holds then.
Survey TakeSurvey(const std::string& exeDir, const platform::Clock& clock, int iterations);
