#pragma once
// What the schedule check has read from each line of JobList, kept from tick to tick.
//
// Every tick looks at every listed job, but the job list, the last-run store and the
// date-time settings change rarely: decoding a schedule, reading its time and looking its
// command up in the store are done again only when what they were read from has changed.
// A reading that fails is never kept, so it fails again, at the same job, on the next tick.
//
// Kept is only what every tick uses: a job's days, its time and its last run. What is needed
// on the rare tick that reads a text again or starts the job (the time text, the command) is
// decoded from the job's line then, so the idle scheduler holds no second copy of them.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/DateTimeFormat.h"
#include "foundation/DateTimeValue.h"
#include "foundation/TStringList.h"
#include "listing/Tokens.h"

class JobReadings {
 public:
  // At the start of each tick: forgets everything when the job list changed, and the
  // date-time readings when the settings or the year (which reading a text may depend on)
  // changed.
  void BeginTick(std::uint16_t year, const TStringList& jobList);

  // The `days` of line `index` of the job list, decoded on first use (raising as decoding
  // does).
  const std::string& Days(int index, const TStringList& jobList);
  // The job's time of day, read from its `time` item once (ConversionError when it cannot be).
  DateTimeValue Time(int index, const TStringList& jobList, const platform::Clock& clock);
  // The job's last run as `store` holds it for its command, read again whenever the store has
  // changed.
  DateTimeValue LastRun(int index, const TStringList& jobList, const TStringList& store,
                        const platform::Clock& clock);
  // The job's command line and its time text, decoded from its line.
  static std::string Command(int index, const TStringList& jobList);
  static std::string TimeText(int index, const TStringList& jobList);

 private:
  struct Reading {
    std::string days;  // unescaped
    DateTimeValue time = 0;
    DateTimeValue lastRun = 0;
    std::uint64_t lastRunGeneration = 0;  // generation of the store lastRun was read from
    bool decoded = false, timeRead = false, lastRunRead = false;
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

// One job of the list read as a tick reads it, but without raising: every value that could
// be read, and the message of each step that failed. A tick goes through the steps in this
// order and ends at the first that fails: decoding the line (`days`), the flag of the day
// in `days` (ErrorOn), the time, the last run in the store.
struct JobLine {
  std::optional<std::string> decodeError;  // when set, nothing else was read
  std::string days, timeText, cmd, key;    // key: the command as the store names it
  std::optional<std::string> timeError;
  std::string storeText;  // the store's text for the key; empty when it has none
  std::optional<std::string> storeError;
  DateTimeValue t = 0;
  DateTimeValue lastRun = 0;

  // The message that ends a tick of `day` at this job; nothing when the tick goes on.
  std::optional<std::string> ErrorOn(DateTimeValue day) const;
  // Whether it fails on every day, whatever its flags.
  bool AlwaysFails() const { return decodeError || timeError || storeError; }
};

// A line of the job list read as the schedule check reads it (Days, Time, and the last run as
// LastRun reads it), from one decoding of the line. `storeValue` gives the store's text for a
// key as TStrings::ValueOf does; the lister, which reads every job at once, looks keys up in
// a table instead.
JobLine ReadJobLine(const std::string& line,
                    const std::function<std::string(const std::string&)>& storeValue,
                    const platform::Clock& clock);
// The same from the line decoded already (which cannot fail).
JobLine ReadJobItems(const Tokens& items,
                     const std::function<std::string(const std::string&)>& storeValue,
                     const platform::Clock& clock);
// The items of a job's line that ticks read (days, time and cmd, in that order), in one pass.
std::array<std::string, 3> TickItems(const Tokens& items);
