#pragma once
// What the schedule check has read from each line of JobList, kept from tick to tick.
//
// Every tick looks at every listed job, but the job list, the last-run store and the
// date-time settings change rarely: decoding a schedule, reading its time and looking its
// command up in the store are done again only when what they were read from has changed.
// A reading that fails is never kept, so it fails again, at the same job, on the next tick.
//
// A reading holds what every tick uses (the days and the command) and the two values read
// from texts; the time text is decoded from the job's line again on the rare tick that has to
// read it again, so the idle scheduler keeps one copy less of every job.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/DateTimeFormat.h"
#include "foundation/DateTimeValue.h"
#include "foundation/TStringList.h"

struct JobReading {
  std::string days;  // the job's items, unescaped
  std::string cmd;

  // The command as the last-run store names it (LastRunKey).
  std::string Key() const;

 private:
  friend class JobReadings;
  DateTimeValue time = 0;
  DateTimeValue lastRun = 0;
  std::uint64_t lastRunGeneration = 0;  // generation of the store lastRun was read from
  bool decoded = false, timeRead = false, lastRunRead = false;
};

class JobReadings {
 public:
  // At the start of each tick: forgets everything when the job list changed, and the
  // date-time readings when the settings or the year (which reading a text may depend on)
  // changed.
  void BeginTick(std::uint16_t year, const TStringList& jobList);
  // The reading of line `index` of the job list, decoded on first use (raising as decoding
  // does).
  JobReading& Job(int index, const TStringList& jobList);
  // The time of day of job `index`, read from its `time` item once (ConversionError when it
  // cannot be).
  DateTimeValue Time(int index, const TStringList& jobList, const platform::Clock& clock);
  // The last run of job `index` as `store` holds it, read again whenever the store has
  // changed.
  DateTimeValue LastRun(int index, const TStringList& store, const platform::Clock& clock);

 private:
  struct ParseSettings {
    char dateSep, timeSep, decimalSep;
    std::string shortDatePicture, amText, pmText;
    std::uint16_t year;
    bool operator==(const ParseSettings&) const = default;
  };

  std::optional<ParseSettings> settings_;
  std::uint64_t jobListGeneration_ = 0;
  std::vector<JobReading> jobs_;
};
