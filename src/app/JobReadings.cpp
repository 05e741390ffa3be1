#include "app/JobReadings.h"

#include "app/DueRule.h"
#include "app/LastRunKey.h"
#include "foundation/ParseDateTime.h"
#include "listing/Tokens.h"

void JobReadings::BeginTick(std::uint16_t year, const TStringList& jobList) {
  if (jobList.Generation() != jobListGeneration_) {
    jobs_.assign(static_cast<std::size_t>(jobList.LineCount()), JobReading{});
    jobListGeneration_ = jobList.Generation();
  }
  ParseSettings now{DateTimeFormat.dateSep,          DateTimeFormat.timeSep,
                    DateTimeFormat.decimalSep,       DateTimeFormat.shortDatePicture,
                    DateTimeFormat.amText,           DateTimeFormat.pmText,
                    year};
  if (settings_ != now) {
    for (JobReading& job : jobs_) job.time.reset(), job.lastRun.reset();
    settings_ = std::move(now);
  }
}

JobReading& JobReadings::Job(int index, const TStringList& jobList) {
  JobReading& job = jobs_[static_cast<std::size_t>(index)];
  if (job.decoded) return job;
  const Tokens items(jobList.Line(index));
  JobReading decoded;
  decoded.days = items.Value("days");
  decoded.timeText = items.Value("time");
  decoded.cmd = items.Value("cmd");
  if (std::string key = LastRunKey(decoded.cmd); key != decoded.cmd) decoded.storeKey = std::move(key);
  decoded.decoded = true;
  job = std::move(decoded);  // only a complete decoding is kept
  return job;
}

DateTimeValue JobReading::Time(const platform::Clock& clock) {
  if (!time) time = ParseDateTime(timeText, ParseKind::DateAndTime, clock);
  return *time;
}

DateTimeValue JobReading::LastRun(const TStringList& store, const platform::Clock& clock) {
  if (!lastRun || lastRunGeneration != store.Generation()) {
    lastRun = LastRunFromText(store.ValueOf(Key()), clock);
    lastRunGeneration = store.Generation();
  }
  return *lastRun;
}
