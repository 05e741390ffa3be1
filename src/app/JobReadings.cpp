#include "app/JobReadings.h"

#include <optional>

#include "app/DueRule.h"
#include "app/ErrorText.h"
#include "app/LastRunKey.h"
#include "foundation/Exception.h"
#include "foundation/ParseDateTime.h"
#include "listing/Tokens.h"

std::exception_ptr TickReading::TickError(const ScheduleDay& day) const {
  if (decodeError) return decodeError;
  if (!HasFlagFor(days, day)) return std::make_exception_ptr(ERangeError(kRangeCheckError));
  if (timeError) return timeError;
  return storeError;
}

std::optional<std::string> TickReading::ErrorOn(DateTimeValue day) const {
  const std::exception_ptr error = TickError(ScheduleDay(day));
  if (!error) return std::nullopt;
  return ErrorMessageOf(error);
}

TickItems TickItemsOf(const Tokens& items) {
  auto [days, time, cmd] = items.Values<3>({"days", "time", "cmd"});
  return TickItems{std::move(days), std::move(time), std::move(cmd)};
}

JobLine ReadJobLine(const std::string& line,
                    const std::function<std::string(const std::string&)>& storeValue,
                    const platform::Clock& clock) {
  std::optional<Tokens> items;
  try {
    items.emplace(line);
  } catch (...) {
    JobLine job;
    job.decodeError = std::current_exception();
    return job;
  }
  return ReadJobItems(*items, storeValue, clock);
}

JobLine ReadJobItems(const Tokens& items,
                     const std::function<std::string(const std::string&)>& storeValue,
                     const platform::Clock& clock) {
  JobLine job;
  TickItems read = TickItemsOf(items);
  job.days = std::move(read.days);
  job.timeText = std::move(read.time);
  job.cmd = std::move(read.cmd);
  job.key = LastRunKey(job.cmd);
  try {
    job.t = ParseDateTime(job.timeText, ParseKind::DateAndTime, clock);
  } catch (...) {
    job.timeError = std::current_exception();
  }
  job.storeText = storeValue(job.key);
  try {
    job.lastRun = LastRunFromText(job.storeText, clock);
  } catch (...) {
    job.storeError = std::current_exception();
  }
  return job;
}

void JobReadings::BeginTick(std::uint16_t year, const TStringList& jobList) {
  if (jobList.Generation() != jobListGeneration_) {
    jobs_.assign(static_cast<std::size_t>(jobList.LineCount()), Reading{});
    jobListGeneration_ = jobList.Generation();
  }
  ParseSettings now{DateTimeFormat.dateSep,
                    DateTimeFormat.timeSep,
                    DateTimeFormat.decimalSep,
                    DateTimeFormat.shortDatePicture,
                    DateTimeFormat.amText,
                    DateTimeFormat.pmText,
                    year};
  if (settings_ != now) {
    for (Reading& job : jobs_) job.read = false;
    settings_ = std::move(now);
  }
}

const TickReading& JobReadings::Job(int index, const TStringList& jobList, const TStringList& store,
                                    const platform::Clock& clock) {
  Reading& reading = jobs_[static_cast<std::size_t>(index)];
  if (!reading.read || reading.storeGeneration != store.Generation()) {
    // Only what ticks use is kept of the whole reading.
    JobLine line = ReadJobLine(
        jobList.Line(index), [&](const std::string& key) { return store.ValueOf(key); }, clock);
    reading.job = std::move(static_cast<TickReading&>(line));
    reading.job.days.shrink_to_fit();
    reading.storeGeneration = store.Generation();
    reading.read = true;
  }
  return reading.job;
}

std::string JobReadings::Command(int index, const TStringList& jobList) {
  return Tokens(jobList.Line(index)).Value("cmd");
}
