#include "app/JobReadings.h"

#include "app/DueRule.h"
#include "app/LastRunKey.h"
#include "foundation/ParseDateTime.h"
#include "listing/Tokens.h"

std::string JobReading::Key() const { return LastRunKey(cmd); }

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
    for (JobReading& job : jobs_) job.timeRead = job.lastRunRead = false;
    settings_ = std::move(now);
  }
}

JobReading& JobReadings::Job(int index, const TStringList& jobList) {
  JobReading& job = jobs_[static_cast<std::size_t>(index)];
  if (job.decoded) return job;
  const Tokens items(jobList.Line(index));
  JobReading decoded;
  decoded.days = items.Value("days");
  decoded.cmd = items.Value("cmd");
  decoded.decoded = true;
  job = std::move(decoded);  // only a complete decoding is kept
  return job;
}

DateTimeValue JobReadings::Time(int index, const TStringList& jobList,
                                const platform::Clock& clock) {
  JobReading& job = jobs_[static_cast<std::size_t>(index)];
  if (!job.timeRead) {
    job.time = ParseDateTime(Tokens(jobList.Line(index)).Value("time"), ParseKind::DateAndTime, clock);
    job.timeRead = true;
  }
  return job.time;
}

DateTimeValue JobReadings::LastRun(int index, const TStringList& store,
                                   const platform::Clock& clock) {
  JobReading& job = jobs_[static_cast<std::size_t>(index)];
  if (!job.lastRunRead || job.lastRunGeneration != store.Generation()) {
    job.lastRun = LastRunFromText(store.ValueOf(job.Key()), clock);
    job.lastRunGeneration = store.Generation();
    job.lastRunRead = true;
  }
  return job.lastRun;
}
