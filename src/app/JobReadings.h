#pragma once
// What the schedule check has read from each line of JobList, kept from tick to tick.
//
// Every tick looks at every listed job, but the job list, the last-run store and the
// date-time settings change rarely: decoding a schedule, reading its time and looking its
// command up in the store are done again only when what they were read from has changed.
// A reading that fails is never kept, so it fails again, at the same job, on the next tick.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/DateTimeFormat.h"
#include "foundation/DateTimeValue.h"
#include "foundation/TStringList.h"

struct JobReading {
  bool decoded = false;
  std::string days;  // the job's items, unescaped
  std::string timeText;
  std::string cmd;
  std::optional<DateTimeValue> time;
  std::optional<DateTimeValue> lastRun;
  std::uint64_t lastRunGeneration = 0;  // generation of the store lastRun was read from
  std::string storeKey;  // kept only when it differs from cmd (a command holding '=')

  // The command as the last-run store names it.
  const std::string& Key() const { return storeKey.empty() ? cmd : storeKey; }
  // The job's time of day, read from its text once (ConversionError when it cannot be).
  DateTimeValue Time(const platform::Clock& clock);
  // The job's last run as `store` holds it, read again whenever the store has changed.
  DateTimeValue LastRun(const TStringList& store, const platform::Clock& clock);
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
