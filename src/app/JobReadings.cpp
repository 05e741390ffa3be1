#include "app/JobReadings.h"

#include <optional>

#include "app/DueRule.h"
#include "app/ErrorText.h"
#include "app/LastRunKey.h"
#include "foundation/ParseDateTime.h"
#include "listing/Tokens.h"

void JobReadings::BeginTick(std::uint16_t year, const TStringList& jobList) {
  if (jobList.Generation() != jobListGeneration_) {
    jobs_.assign(static_cast<std::size_t>(jobList.LineCount()), Reading{});
    jobListGeneration_ = jobList.Generation();
  }
  ParseSettings now{DateTimeFormat.dateSep,          DateTimeFormat.timeSep,
                    DateTimeFormat.decimalSep,       DateTimeFormat.shortDatePicture,
                    DateTimeFormat.amText,           DateTimeFormat.pmText,
                    year};
  if (settings_ != now) {
    for (Reading& job : jobs_) job.timeRead = job.lastRunRead = false;
    settings_ = std::move(now);
  }
}

const std::string& JobReadings::Days(int index, const TStringList& jobList) {
  Reading& job = jobs_[static_cast<std::size_t>(index)];
  if (!job.decoded) {
    job.days = Tokens(jobList.Line(index)).Value("days");
    job.decoded = true;
  }
  return job.days;
}

DateTimeValue JobReadings::Time(int index, const TStringList& jobList,
                                const platform::Clock& clock) {
  Reading& job = jobs_[static_cast<std::size_t>(index)];
  if (!job.timeRead) {
    job.time = ParseDateTime(TimeText(index, jobList), ParseKind::DateAndTime, clock);
    job.timeRead = true;
  }
  return job.time;
}

DateTimeValue JobReadings::LastRun(int index, const TStringList& jobList,
                                   const TStringList& store, const platform::Clock& clock) {
  Reading& job = jobs_[static_cast<std::size_t>(index)];
  if (!job.lastRunRead || job.lastRunGeneration != store.Generation()) {
    job.lastRun = LastRunFromText(store.ValueOf(LastRunKey(Command(index, jobList))), clock);
    job.lastRunGeneration = store.Generation();
    job.lastRunRead = true;
  }
  return job.lastRun;
}

std::string JobReadings::Command(int index, const TStringList& jobList) {
  return Tokens(jobList.Line(index)).Value("cmd");
}

std::string JobReadings::TimeText(int index, const TStringList& jobList) {
  return Tokens(jobList.Line(index)).Value("time");
}

std::optional<std::string> JobLine::ErrorOn(DateTimeValue day) const {
  if (decodeError) return decodeError;
  if (!HasFlagFor(days, day)) return std::string("Range check error");
  if (timeError) return timeError;
  return storeError;
}

JobLine ReadJobLine(const std::string& line,
                    const std::function<std::string(const std::string&)>& storeValue,
                    const platform::Clock& clock) {
  std::optional<Tokens> items;
  try {
    items.emplace(line);
  } catch (...) {
    JobLine job;
    job.decodeError = CurrentErrorMessage();
    return job;
  }
  return ReadJobItems(*items, storeValue, clock);
}

JobLine ReadJobItems(const Tokens& items,
                     const std::function<std::string(const std::string&)>& storeValue,
                     const platform::Clock& clock) {
  JobLine job;
  // One pass over the items serves Days, TimeText and Command, which each decode the line.
  auto [days, timeText, cmd] = TickItems(items);
  job.days = std::move(days);
  job.timeText = std::move(timeText);
  job.cmd = std::move(cmd);
  job.key = LastRunKey(job.cmd);
  try {
    job.t = ParseDateTime(job.timeText, ParseKind::DateAndTime, clock);  // as Time reads it
  } catch (...) {
    job.timeError = CurrentErrorMessage();
  }
  job.storeText = storeValue(job.key);
  try {
    job.lastRun = LastRunFromText(job.storeText, clock);
  } catch (...) {
    job.storeError = CurrentErrorMessage();
  }
  return job;
}

std::array<std::string, 3> TickItems(const Tokens& items) {
  return items.Values<3>({"days", "time", "cmd"});
}
