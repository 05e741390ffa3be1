#pragma once
// A job of the job list read as a tick reads it, for the scheduler's schedule check and the
// companion lister alike: one reader, and one order in which a tick meets a job's errors.
//
// Every tick looks at every listed job, but the job list, the last-run store and the
// date-time settings change rarely: the scheduler keeps what it read of each job
// (JobReadings) and reads a job again only when what it was read from has changed. Kept is
// only what every tick uses (a job's days, its time, its last run, and what a step raised),
// so the idle scheduler holds no second copy of a job's texts.

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/DueRule.h"
#include "foundation/DateTimeFormat.h"
#include "foundation/DateTimeValue.h"
#include "foundation/TStringList.h"
#include "listing/Tokens.h"

// What a tick needs of one job: its days, time and last run, and the error of each step
// that failed (decoding the line; reading the time; reading the last run from the store).
struct TickReading {
  std::string days;
  DateTimeValue t = 0;
  DateTimeValue lastRun = 0;
  std::exception_ptr decodeError;  // when set, nothing else was read
  std::exception_ptr timeError, storeError;

  // What ends a tick of `day` at this job, in the order a tick meets it: the decoding, the
  // flag of the day in `days` (ERangeError "Range check error" when there is none), the time,
  // the last run. Null when the tick goes on past the job.
  std::exception_ptr TickError(const ScheduleDay& day) const;
  // The message of TickError; nothing when the tick goes on.
  std::optional<std::string> ErrorOn(DateTimeValue day) const;
  // Whether it fails on every day, whatever its flags.
  bool AlwaysFails() const { return decodeError || timeError || storeError; }
};

// A job read whole: what a tick needs, and the texts it was read from.
struct JobLine : TickReading {
  std::string timeText, cmd, key;  // key: the command as the store names it
  std::string storeText;           // the store's text for the key; empty when it has none
};

// The items of a job's line that ticks read, taken in one pass.
struct TickItems {
  std::string days, time, cmd;
};
TickItems TickItemsOf(const Tokens& items);

// A line of the job list read as a tick reads it, from one decoding of the line, raising
// nothing. `storeValue` gives the store's text for a key as TStrings::ValueOf does; the
// lister, which reads every job at once, looks keys up in a table instead.
JobLine ReadJobLine(const std::string& line,
                    const std::function<std::string(const std::string&)>& storeValue,
                    const platform::Clock& clock);
// The same from the line decoded already (which cannot fail).
JobLine ReadJobItems(const Tokens& items,
                     const std::function<std::string(const std::string&)>& storeValue,
                     const platform::Clock& clock);

// What the schedule check has read from each line of JobList, kept from tick to tick.
class JobReadings {
 public:
  // At the start of each tick: forgets everything when the job list changed, and every
  // reading when the date-time settings or the year (which reading a text may depend on)
  // changed.
  void BeginTick(std::uint16_t year, const TStringList& jobList);
  // Line `index` of the job list read as ReadJobLine reads it; read again when the store
  // has changed since.
  const TickReading& Job(int index, const TStringList& jobList, const TStringList& store,
                         const platform::Clock& clock);
  // The job's command line, decoded from its line.
  static std::string Command(int index, const TStringList& jobList);

 private:
  struct Reading {
    TickReading job;
    std::uint64_t storeGeneration = 0;  // of the store the job was read with
    bool read = false;
  };
  struct ParseSettings {
    char dateSep, timeSep, decimalSep;
    std::string shortDatePicture, amText, pmText;
    std::uint16_t year;
    bool operator==(const ParseSettings&) const = default;
  };

  std::optional<ParseSettings> settings_;
  std::uint64_t jobListGeneration_ = 0;
  std::vector<Reading> jobs_;
};
