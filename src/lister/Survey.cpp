#include "lister/Survey.h"

#include <map>

#include "app/DueRule.h"
#include "app/ErrorText.h"
#include "app/JobFiles.h"
#include "app/JobFolderWalk.h"
#include "app/JobReadings.h"
#include "app/LastRunKey.h"
#include "app/NextStart.h"
#include "foundation/Exception.h"
#include "lister/ListedJobs.h"
#include "lister/Moments.h"
#include "lister/ScheduleWords.h"
#include "lister/StoreLookup.h"
#include "platform/Files.h"
#include "platform/TextCompare.h"

std::string_view StatusWord(JobStatus status) {
  switch (status) {
    case JobStatus::Scheduled: return "scheduled";
    case JobStatus::Due: return "due";
    case JobStatus::Started: return "started";
    case JobStatus::Missed: return "missed";
    case JobStatus::Off: return "off";
    case JobStatus::Ignored: return "ignored";
    case JobStatus::Error: return "error";
  }
  return "error";
}

std::string_view StageWord(ErrorStage stage) {
  return stage == ErrorStage::Rebuild ? "rebuild" : "tick";
}

bool Survey::SchedulerWouldQuit() const {
  if (listingError) return false;
  for (const SurveyRow& row : rows)
    if (row.error && row.error->stage == ErrorStage::Rebuild) return false;
  return listedJobs == 0;
}

bool Survey::HasErrors() const {
  if (storeError || listingError) return true;
  for (const SurveyRow& row : rows)
    if (row.error) return true;
  return false;
}

SurveyCounts Survey::Counts() const {
  SurveyCounts counts;
  counts.files = static_cast<int>(rows.size());
  counts.listed = listedJobs;
  for (const SurveyRow& row : rows) {
    counts.heldBack += row.heldBack.has_value();
    counts.off += row.status == JobStatus::Off;
    counts.ignored += row.status == JobStatus::Ignored;
    counts.withErrors += row.error.has_value();
  }
  return counts;
}

namespace {

// The text of the error box for the error being handled.
std::string BoxText() { return ErrorBoxText(CurrentErrorMessage()); }

std::string IgnoredReason(const SurveyRow& row) {
  if (row.folder) return "a folder";
  std::string extension = ExtensionOf(row.file);
  for (char& c : extension)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (extension == ".hvj") return "only the extension \".hvj\" in lower case is read";
  return "not a job file (.hvj)";
}

// The last-run store as the scheduler's start-up loads it, read so that a save of the
// scheduler at that moment goes ahead.
void LoadStore(SchedState& state, Survey& survey) {
  survey.storePath = state.StorePath();
  survey.storeFound = platform::FileExists(survey.storePath);
  if (!survey.storeFound) return;
  try {
    state.LastRunStore.LoadLines(survey.storePath, platform::ReadSharing::Everyone);
  } catch (...) {
    survey.storeError = BoxText();
  }
}

// What the folder walk found: the listed jobs read as a tick reads them, and where the
// rebuild stops.
struct FolderWalk {
  std::vector<std::size_t> listedRows;   // row of each job of the job list
  std::vector<JobLine> jobs;             // each job of the job list, read
  std::vector<std::string> foldedKeys;   // each one's store entry, case-folded
  std::optional<std::size_t> failedRow;  // where the rebuild stops
};

// A row's items as the schedule check reads them from the encoded line, with the time read
// and the store's entry for its command. A step that fails leaves its part out (the
// decoding, all of them). Takes what the row keeps from `job`; a listed job keeps what the
// forecast needs (days, time, last run, store entry).
void FillRow(JobLine& job, bool listed, ScheduleWordsMaker& inWords, SurveyRow& row) {
  ScheduleItems& items = *row.schedule;
  if (!job.decodeError) {
    items.days = listed ? job.days : std::move(job.days);
    items.time = std::move(job.timeText);
    items.cmd = std::move(job.cmd);
    if (!job.timeError) items.t = job.t;
    if (!job.storeText.empty()) {
      row.lastText = std::move(job.storeText);
      if (!job.storeError) row.last = job.lastRun;
    }
  }
  items.words = inWords(items.days, items.t, items.time);
}

// Walks the job folder as the rebuild does, one row per entry; the rebuild's job list goes to
// survey.jobList. Every job file's line is read as a tick of the schedule check reads it,
// those outside the job list only to show them: the scheduler never reads them. After a
// failing job file the rest is still read, to show it, but not listed.
FolderWalk WalkFolder(const SchedState& state, const StoreLookup& store,
                      const platform::Clock& clock, Survey& survey) {
  FolderWalk walk;
  ScheduleWordsMaker inWords;
  std::string foldedKey;  // of the job being read
  const auto storeValue = [&](const std::string& key) {
    foldedKey = platform::CaseFoldKey(key);
    return store.ValueOf(key, foldedKey);
  };
  try {
    WalkJobFolder(
        state.Jobs(), state.FolderExclusions, AfterAFailingFile::ReadOn,
        [&](const JobFolderEntry& entry) {
          SurveyRow row;
          const std::size_t index = survey.rows.size();
          row.file = entry.name;
          row.folder = entry.folder;
          if (!entry.jobFile) {
            row.note = IgnoredReason(row);
          } else if (entry.error) {
            try {
              std::rethrow_exception(entry.error);
            } catch (...) {
              row.status = JobStatus::Error;
              row.error = JobError{BoxText(), ErrorStage::Rebuild, true, {}, {}};
            }
            if (!entry.afterFailure) walk.failedRow = index;
          } else {
            const Tokens& schedule = *entry.schedule;
            ScheduleItems& items = row.schedule.emplace();
            items.doSchedule = schedule.Value("do_schedule");
            const bool scheduled = IsScheduled(items.doSchedule);
            row.status = scheduled ? JobStatus::Scheduled : JobStatus::Off;
            if (!scheduled) row.note = "do_schedule is not \"1\"";
            row.listed = scheduled && !entry.afterFailure;
            std::string line = schedule.Text();  // as the rebuild encodes it
            // Ticks decode that text; where it gives the same items, those at hand are read.
            JobLine job = schedule.SurvivesText() ? ReadJobItems(schedule, storeValue, clock)
                                                  : ReadJobLine(line, storeValue, clock);
            if (job.decodeError) {  // the items as the job file holds them
              auto [days, time, cmd] = TickItemsOf(schedule);
              items.days = std::move(days);
              items.time = std::move(time);
              items.cmd = std::move(cmd);
            }
            FillRow(job, row.listed, inWords, row);
            if (row.listed) {
              survey.jobList.push_back(std::move(line));
              walk.listedRows.push_back(index);
              walk.foldedKeys.push_back(job.decodeError ? std::string() : std::move(foldedKey));
              walk.jobs.push_back(std::move(job));
            }
          }
          survey.rows.push_back(std::move(row));
        });
  } catch (...) {
    // The listing fails before the first entry, as the rebuild's does.
    survey.listingError = BoxText();
  }
  return walk;
}

// The job files after the one that stops the rebuild never make the job list.
void HoldBackAfterFailedRebuild(const FolderWalk& walk, Survey& survey) {
  if (!walk.failedRow) return;
  SurveyRow& failed = survey.rows[*walk.failedRow];
  for (std::size_t r = *walk.failedRow + 1; r < survey.rows.size(); ++r) {
    SurveyRow& row = survey.rows[r];
    if (row.status != JobStatus::Scheduled && row.status != JobStatus::Error) continue;
    row.heldBack = HeldBack{failed.file, ErrorStage::Rebuild};
    if (row.status == JobStatus::Scheduled) failed.error->holdsBack.push_back(row.file);
  }
}

// The days (weekday or day-of-month positions) for which `days` holds no flag.
std::vector<std::size_t> PositionsWithoutFlag(const std::string& days, DateTimeValue today) {
  std::vector<bool> seen(32, false);
  for (int offset = 0; offset < 62; ++offset) {
    const DateTimeValue day = today + offset;
    if (!HasFlagFor(days, day)) seen[DayPosition(days, day)] = true;
  }
  std::vector<std::size_t> positions;
  for (std::size_t p = 1; p < seen.size(); ++p)
    if (seen[p]) positions.push_back(p);
  return positions;
}

// The files of the jobs after job k in the job list.
std::vector<std::string> JobsAfter(const FolderWalk& walk, std::size_t k, std::size_t count,
                                   const Survey& survey) {
  std::vector<std::string> files;
  for (std::size_t j = k + 1; j < count; ++j) files.push_back(survey.rows[walk.listedRows.at(j)].file);
  return files;
}

// The status of a listed job that the day's ticks can read, by the due rule at now.
JobStatus StatusNow(const JobLine& job, DateTimeValue today, DateTimeValue now) {
  if (RunRecorded(job.lastRun, today, job.t)) return JobStatus::Started;
  const bool onToday = IsOnDay(job.days, today);
  if (IsDue(onToday, today, now, job.t, job.lastRun)) return JobStatus::Due;
  if (onToday && WindowPassed(now, job.t)) return JobStatus::Missed;
  return JobStatus::Scheduled;
}

// Status, error, held-back jobs and next starts of every listed job.
void Foretell(const FolderWalk& walk, int iterations, Survey& survey) {
  const std::vector<JobLine>& jobs = walk.jobs;
  TickFailures failures(jobs);
  const std::vector<std::vector<std::size_t>> sharers = EarlierSharers(jobs, walk.foldedKeys);
  std::map<std::string, std::vector<std::size_t>> unflaggedByDays;  // most jobs share a few
  const DateTimeValue today = survey.today, now = survey.nowOfDay;
  const std::size_t failingToday = failures.FirstFailing(today);
  for (std::size_t k = 0; k < jobs.size(); ++k) {
    const JobLine& job = jobs[k];
    SurveyRow& row = survey.rows[walk.listedRows.at(k)];
    // Flags that end before some days fail the ticks of those days only.
    std::vector<std::size_t> unflagged;
    if (!job.AlwaysFails()) {
      auto known = unflaggedByDays.find(job.days);
      if (known == unflaggedByDays.end())
        known = unflaggedByDays.emplace(job.days, PositionsWithoutFlag(job.days, today)).first;
      unflagged = known->second;
    }
    const std::string failingDays =
        unflagged.empty() ? std::string() : PositionsInWords(IsWeekly(job.days), unflagged);
    if (const auto error = job.ErrorOn(today)) {
      row.status = JobStatus::Error;
      row.error = JobError{ErrorBoxText(*error), ErrorStage::Tick, true, failingDays,
                           JobsAfter(walk, k, jobs.size(), survey)};
    } else {
      row.status = StatusNow(job, today, now);
      if (!unflagged.empty())
        row.error = JobError{ErrorBoxText(kRangeCheckError), ErrorStage::Tick, false, failingDays,
                             JobsAfter(walk, k, jobs.size(), survey)};
    }
    if (failingToday < k)
      row.heldBack = HeldBack{survey.rows[walk.listedRows.at(failingToday)].file, ErrorStage::Tick};
    if (failures.AlwaysFailing() <= k) continue;  // no tick ever gets to start it
    row.next = NextStarts(job.days, job.t, job.lastRun, today, now, iterations,
                          [&](DateTimeValue day, DateTimeValue tick) {
                            return failures.FirstFailing(day) > k &&
                                   !CoveredBySharer(jobs, sharers[k], day, tick, job.lastRun);
                          });
  }
}

}  // namespace

Survey TakeSurvey(const std::string& exeDir, const platform::Clock& clock, int iterations) {
  // The state the scheduler of that folder would build (InitializeSched_main takes the folder
  // part of the executable's path).
  SchedState state = InitializeSched_main(exeDir);
  Survey survey;
  const LocalDayAndTime now = LocalNow(clock);
  survey.today = now.today;
  survey.nowOfDay = now.timeOfDay;
  survey.nowUtc = UtcValue(survey.Now(), clock);
  survey.exeDir = state.ExeDir;
  survey.jobsDir = state.JobsDir;
  survey.folderCopy = state.ExeDirCopy;
  LoadStore(state, survey);
  if (!state.Jobs().Exists()) {
    survey.jobsFolderMissing = true;
    return survey;
  }
  const StoreLookup store(state.LastRunStore);
  const FolderWalk walk = WalkFolder(state, store, clock, survey);
  survey.listedJobs = static_cast<int>(survey.jobList.size());
  HoldBackAfterFailedRebuild(walk, survey);
  Foretell(walk, iterations, survey);
  return survey;
}
