#include "app/JobReadings.h"

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
  const Reading& job = jobs_[static_cast<std::size_t>(index)];
  return job.timeRead ? job.time : Time(index, TimeText(index, jobList), clock);
}

DateTimeValue JobReadings::Time(int index, const std::string& timeText,
                                const platform::Clock& clock) {
  Reading& job = jobs_[static_cast<std::size_t>(index)];
  if (!job.timeRead) {
    job.time = ParseDateTime(timeText, ParseKind::DateAndTime, clock);
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

JobLine ReadJobLine(JobReadings& readings, int index, const TStringList& jobList,
                    const std::function<std::string(const std::string&)>& storeValue,
                    const platform::Clock& clock) {
  JobLine job;
  try {
    job.days = readings.Days(index, jobList);
  } catch (...) {
    job.decodeError = CurrentErrorMessage();
    return job;
  }
  {
    // Decoded once for both texts; it decoded without fault for the days just now.
    const Tokens schedule(jobList.Line(index));
    job.timeText = schedule.Value("time");
    job.cmd = schedule.Value("cmd");
  }
  job.key = LastRunKey(job.cmd);
  try {
    job.t = readings.Time(index, job.timeText, clock);
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
