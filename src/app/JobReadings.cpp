#include "app/JobReadings.h"

#include "app/LastRunKey.h"
#include "listing/Tokens.h"

void JobReadings::BeginTick(std::uint16_t year, int jobCount) {
  ParseSettings now{DateTimeFormat.dateSep,          DateTimeFormat.timeSep,
                    DateTimeFormat.decimalSep,       DateTimeFormat.shortDatePicture,
                    DateTimeFormat.amText,           DateTimeFormat.pmText,
                    year};
  if (settings_ != now) {
    for (JobReading& job : jobs_) job.time.reset(), job.lastRun.reset();
    settings_ = std::move(now);
  }
  jobs_.resize(static_cast<std::size_t>(jobCount));
}

JobReading& JobReadings::Job(int index, const std::string& line) {
  JobReading& job = jobs_[static_cast<std::size_t>(index)];
  if (job.line == line && !job.line.empty()) return job;
  job = JobReading{};
  const Tokens items(line);
  job.days = items.Value("days");
  job.timeText = items.Value("time");
  job.cmd = items.Value("cmd");
  job.key = LastRunKey(job.cmd);
  job.line = line;  // last: only a complete decoding is kept
  return job;
}
