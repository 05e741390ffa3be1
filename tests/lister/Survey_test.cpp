#include "lister/Survey.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Installation.h"
#include "app/JobDiscovery.h"
#include "app/SchedContext.h"
#include "fakes/FakeAutostart.h"
#include "fakes/FakeLauncher.h"
#include "fakes/FakeMutexProbe.h"
#include "fakes/FakeShell.h"
#include "fakes/FileFaults.h"
#include "lister/Moments.h"
#include "lister/ReportText.h"

namespace {

const SurveyRow* RowOf(const Survey& survey, const std::string& file) {
  for (const SurveyRow& row : survey.rows)
    if (row.file == file) return &row;
  return nullptr;
}

std::string NextText(const SurveyRow& row) {
  return row.next.empty() ? "-" : MomentText(row.next.front());
}

std::string ErrorText(const SurveyRow& row) { return row.error ? row.error->text : "-"; }

// One job on Wednesday 2026-12-09: its status, next start and error, against a table.
TEST(Survey, StatusNextStartAndErrorOfOneJob) {
  struct Case {
    const char* label;
    std::string schedule;
    std::string store;  // the store file; none when empty
    int hour, minute, second;
    const char* status;
    const char* next;
    const char* error;
    int lines = 23;
  };
  const std::string job = Scheduled("1111100", "14:30:00", "backup.cmd");
  const Case cases[] = {
      {"before the time", job, "", 14, 29, 0, "scheduled", "12/9/2026 2:30:00 PM", "-"},
      {"inside the window", job, "", 14, 30, 1, "due", "12/9/2026 2:30:00 PM", "-"},
      {"last second of the window", job, "", 14, 34, 59, "due", "12/9/2026 2:30:00 PM", "-"},
      {"window over, not started", job, "", 14, 35, 0, "missed", "12/10/2026 2:30:00 PM", "-"},
      {"today's start recorded", job, "backup.cmd=12/9/2026 2:30:00 PM\r\n", 14, 30, 2, "started",
       "12/10/2026 2:30:00 PM", "-"},
      {"yesterday's start recorded", job, "backup.cmd=12/8/2026 2:30:00 PM\r\n", 14, 30, 2, "due",
       "12/9/2026 2:30:00 PM", "-"},
      {"not flagged today", Scheduled("0000011", "14:30:00", "w.cmd"), "", 15, 0, 0, "scheduled",
       "12/12/2026 2:30:00 PM", "-"},
      {"no flag at all", Scheduled("0000000", "14:30:00", "n.cmd"), "", 9, 0, 0, "scheduled", "-",
       "-"},
      {"scheduling off", "do_schedule=0,days=1111111,time=14:30:00,cmd=x", "", 9, 0, 0, "off", "-",
       "-"},
      {"unreadable time", Scheduled("1111111", "25:00", "t.cmd"), "", 9, 0, 0, "error", "-",
       "'25:00' is not a valid date and time."},
      {"no time at all", "do_schedule=1,days=1111111,cmd=t.cmd", "", 9, 0, 0, "error", "-",
       "'' is not a valid date and time."},
      {"unreadable store text", job, "backup.cmd=yesterday\r\n", 9, 0, 0, "error", "-",
       "'yesterday' is not a valid date and time."},
      {"day position outside the flags today", Scheduled("11", "14:30:00", "r.cmd"), "", 9, 0, 0,
       "error", "12/14/2026 2:30:00 PM", "Range check error."},
      {"day position outside the flags on other days", Scheduled("111", "14:30:00", "r.cmd"), "", 9,
       0, 0, "scheduled", "12/9/2026 2:30:00 PM", "Range check error."},
      {"braces that do not balance", "do_schedule=1,days={1111111", "", 9, 0, 0, "error", "-",
       "Tokens, {...} do not match."},
      {"braces that balance only before the rebuild encodes them",
       "do_schedule=1,{x} ,days=1111111,time=14:30:00,cmd=b.cmd", "", 9, 0, 0, "error", "-",
       "Tokens, {...} do not match."},
      {"a file of 22 lines", job, "", 9, 0, 0, "error", "-", "List index out of bounds (22)", 22},
  };
  for (const Case& c : cases) {
    const Installation installation;
    installation.Job("job.hvj", c.schedule, c.lines);
    if (!c.store.empty()) installation.Store(c.store);
    const FakeClock clock(2026, 12, 9, c.hour, c.minute, c.second);
    const Survey survey = installation.Look(clock);
    ASSERT_EQ(survey.rows.size(), 1u) << c.label;
    const SurveyRow& row = survey.rows.front();
    EXPECT_EQ(StatusWord(row.status), c.status) << c.label;
    EXPECT_EQ(NextText(row), c.next) << c.label;
    EXPECT_EQ(ErrorText(row), c.error) << c.label;
    EXPECT_EQ(survey.HasErrors(), std::string(c.error) != "-") << c.label;
  }
}

// A look taken as the clock passes midnight: the date and the time of day come from one
// reading. Read apart, the date before midnight and the time after it make a moment a day
// early, and a job missed that evening shows as still to come.
TEST(Survey, TakesTheDateAndTheTimeOfDayFromOneReadingOfTheClock) {
  const Installation installation;
  installation.Job("job.hvj", Scheduled("1111111", "14:30:00", "backup.cmd"));
  FakeClock clock(2026, 12, 9, 23, 59, 59, 999);
  clock.AdvanceAfterEachReading(1);
  const Survey survey = installation.Look(clock);
  EXPECT_EQ(survey.today, DateFromParts(2026, 12, 9));
  EXPECT_EQ(survey.nowOfDay, TimeFromParts(23, 59, 59, 999));
  ASSERT_EQ(survey.rows.size(), 1u);
  EXPECT_EQ(StatusWord(survey.rows.front().status), "missed");
  EXPECT_EQ(NextText(survey.rows.front()), "12/10/2026 2:30:00 PM");
}

TEST(Survey, FilesTheSchedulerDoesNotReadAreIgnoredWithTheReason) {
  const Installation installation;
  const std::string job = Scheduled("1111111", "14:30:00", "x.cmd");
  installation.Job("Upper.HVJ", job);
  installation.Job("a.hvj.bak", job);
  installation.folder.Write("Backup Jobs/x.hvj/inside.txt", "");
  installation.Job("real.hvj", job);
  const Survey survey = installation.Look(FakeClock(2026, 12, 9, 9, 0, 0));
  ASSERT_EQ(survey.rows.size(), 4u);
  EXPECT_EQ(RowOf(survey, "Upper.HVJ")->note, "only the extension \".hvj\" in lower case is read");
  EXPECT_EQ(RowOf(survey, "a.hvj.bak")->note, "not a job file (.hvj)");
  EXPECT_EQ(RowOf(survey, "x.hvj")->note, "a folder");
  for (const char* file : {"Upper.HVJ", "a.hvj.bak", "x.hvj"})
    EXPECT_EQ(RowOf(survey, file)->status, JobStatus::Ignored) << file;
  EXPECT_EQ(RowOf(survey, "real.hvj")->status, JobStatus::Scheduled);
  EXPECT_EQ(survey.listedJobs, 1);
}

// The job list the lister builds is the one the scheduler's own rebuild builds, also when a
// job file stops the rebuild half-way; the scheduled files after that one are held back.
TEST(Survey, AFailingJobFileHoldsBackTheScheduledFilesAfterIt) {
  const Installation installation;
  // Listing order is the file system's: which files come after the broken one is read
  // from the survey.
  for (const char* name : {"a.hvj", "b.hvj", "c.hvj", "d.hvj", "e.hvj"})
    installation.Job(name, Scheduled("1111111", "14:30:00", std::string(name) + ".cmd"));
  const std::string job = Scheduled("1111111", "14:30:00", "x.cmd");
  installation.Job("off.hvj", "do_schedule=0");
  installation.Job("broken.hvj", job, 5);
  const FakeClock clock(2026, 12, 9, 9, 0, 0);
  const Survey survey = installation.Look(clock);

  SchedState scheduler = InitializeSched_main(installation.exePath);
  FakeShell shell;
  FakeClock schedulerClock(2026, 12, 9, 9, 0, 0);
  FakeMutexProbe mutexes;
  FakeLauncher launcher;
  FakeAutostart autostart;
  SchedContext context{scheduler, shell, schedulerClock, mutexes, launcher, autostart, ""};
  EXPECT_ANY_THROW(DiscoverJobs(context));
  ASSERT_EQ(static_cast<int>(survey.jobList.size()), scheduler.JobList.LineCount());
  for (int i = 0; i < scheduler.JobList.LineCount(); ++i)
    EXPECT_EQ(survey.jobList[static_cast<std::size_t>(i)], scheduler.JobList.Line(i));

  const SurveyRow* broken = RowOf(survey, "broken.hvj");
  ASSERT_TRUE(broken && broken->error);
  EXPECT_EQ(broken->error->text, "List index out of bounds (22)");
  EXPECT_EQ(broken->error->stage, ErrorStage::Rebuild);
  std::vector<std::string> after;
  bool past = false;
  for (const SurveyRow& row : survey.rows) {
    if (past && row.file != "off.hvj") after.push_back(row.file);
    past = past || row.file == "broken.hvj";
    const bool listed = !past && row.file != "off.hvj";
    EXPECT_EQ(row.listed, listed) << row.file;
    EXPECT_EQ(row.heldBack.has_value(), past && row.file != "broken.hvj" && row.file != "off.hvj")
        << row.file;
    EXPECT_EQ(row.next.empty(), !listed) << row.file;
  }
  EXPECT_EQ(broken->error->holdsBack, after);
  EXPECT_FALSE(survey.SchedulerWouldQuit());
}

// A job that fails the tick keeps the jobs after it in the job list from starting: every
// day (an unreadable time), or on the days its flags leave out (five weekday flags).
TEST(Survey, AFailingJobHoldsBackTheJobsAfterItInTheList) {
  struct Case {
    const char* label;
    std::string failing;
    int day;  // of December 2026: 9 is a Wednesday, 12 a Saturday
    bool errorToday;
    const char* heldBackNext;  // NEXT of the job listed after it
  };
  const Case cases[] = {
      {"unreadable time, Wednesday", Scheduled("1111111", "x", "f.cmd"), 9, true, "-"},
      {"five flags, Wednesday", Scheduled("11111", "10:00", "f.cmd"), 9, false,
       "12/9/2026 2:30:00 PM"},
      {"five flags, Saturday", Scheduled("11111", "10:00", "f.cmd"), 12, true,
       "12/14/2026 2:30:00 PM"},
  };
  for (const Case& c : cases) {
    const Installation installation;
    // The failing job goes into whichever of the two files the file system lists first.
    installation.Job("a.hvj", "");
    installation.Job("b.hvj", "");
    const FakeClock clock(2026, 12, c.day, 9, 0, 0);
    const std::string first = installation.Look(clock).rows.at(0).file;
    const std::string second = first == "a.hvj" ? "b.hvj" : "a.hvj";
    installation.Job(first, c.failing);
    installation.Job(second, Scheduled("1111111", "14:30:00", "later.cmd"));
    const Survey survey = installation.Look(clock);
    const SurveyRow& fails = survey.rows.at(0);
    const SurveyRow& later = survey.rows.at(1);
    ASSERT_TRUE(fails.error) << c.label;
    EXPECT_EQ(fails.error->stage, ErrorStage::Tick) << c.label;
    EXPECT_EQ(fails.error->today, c.errorToday) << c.label;
    EXPECT_EQ(fails.error->holdsBack, std::vector<std::string>{second}) << c.label;
    EXPECT_EQ(later.heldBack.has_value(), c.errorToday) << c.label;
    EXPECT_EQ(NextText(later), c.heldBackNext) << c.label;
    EXPECT_TRUE(survey.HasErrors()) << c.label;
  }
}

TEST(Survey, TheDaysOnWhichShortFlagsFailAreNamed) {
  struct Case {
    std::string days;
    const char* words;
  } cases[] = {
      {"11111", "Sat,Sun"},
      {"111111", "Sun"},
      {"", "every day"},
      {std::string(28, '1'), "days 29-31 of the month"},
      {std::string(30, '1'), "day 31 of the month"},
  };
  for (const Case& c : cases) {
    const Installation installation;
    installation.Job("job.hvj", Scheduled(c.days, "10:00", "x"));
    const Survey survey = installation.Look(FakeClock(2026, 12, 9, 9, 0, 0));
    ASSERT_TRUE(survey.rows.front().error) << c.days;
    EXPECT_EQ(survey.rows.front().error->failingDays, c.words) << c.days;
  }
}

// Jobs that share a store entry (the same command, letter case aside) and a time start
// once: the first in the list records the start, which covers the others.
TEST(Survey, AJobCoveredByAnEarlierOneWithTheSameCommandDoesNotStart) {
  const Installation installation;
  installation.Job("a.hvj", Scheduled("1111111", "14:30:00", "same.cmd"));
  installation.Job("b.hvj", Scheduled("1111111", "14:30:00", "SAME.cmd"));
  const Survey survey = installation.Look(FakeClock(2026, 12, 9, 9, 0, 0), 2);
  ASSERT_EQ(survey.rows.size(), 2u);
  EXPECT_EQ(survey.rows[0].next.size(), 2u);
  EXPECT_TRUE(survey.rows[1].next.empty());
}

// The rebuild's encoding writes the quotes of a quoted item twice: the schedule check reads
// the command with them doubled, and so does the survey. A plain command comes through as is.
TEST(Survey, ACommandIsReadAsTheRebuildsEncodingLeavesIt) {
  const Installation installation;
  installation.Job("quoted.hvj", "do_schedule=1,days=1111111,time=14:30:00,\"cmd=say \"\"hi\"\"\"");
  installation.Job("plain.hvj", Scheduled("1111111", "14:30:00", "C:\\Tools\\backup.exe /job 1"));
  const Survey survey = installation.Look(FakeClock(2026, 12, 9, 9, 0, 0));
  ASSERT_EQ(survey.rows.size(), 2u);
  EXPECT_EQ(RowOf(survey, "quoted.hvj")->schedule->cmd, "say \"\"\"\"hi\"\"\"\"");
  EXPECT_EQ(RowOf(survey, "plain.hvj")->schedule->cmd, "C:\\Tools\\backup.exe /job 1");
  EXPECT_EQ(survey.jobList.size(), 2u);
}

TEST(Survey, TheStoreIsReadAsTheSchedulerReadsIt) {
  const Installation installation;
  installation.Job("a.hvj", Scheduled("1111111", "14:30:00", "run.exe /level=full"));
  // The key of a command holding '=' has '|' in its place.
  installation.Store("run.exe /level|full=12/9/2026 2:30:00 PM\r\n");
  const Survey survey = installation.Look(FakeClock(2026, 12, 9, 15, 0, 0));
  const SurveyRow& row = survey.rows.front();
  EXPECT_EQ(row.lastText, "12/9/2026 2:30:00 PM");
  EXPECT_EQ(row.status, JobStatus::Started);
}

TEST(Survey, NothingScheduledMeansTheSchedulerWouldQuit) {
  const Installation installation;
  installation.Job("off.hvj", "do_schedule=0");
  EXPECT_TRUE(installation.Look(FakeClock(2026, 12, 9)).SchedulerWouldQuit());
  const Installation missing;
  const Survey none = missing.Look(FakeClock(2026, 12, 9));
  EXPECT_TRUE(none.jobsFolderMissing);
  EXPECT_FALSE(none.HasErrors());
}

// A live view surveys the same folder once a second: each survey reads what the folder holds
// at that moment, and nothing is left over from the one before.
TEST(Survey, CanBeTakenAgainAndFollowsTheFolder) {
  const Installation installation;
  installation.Job("a.hvj", Scheduled("1111111", "14:30:00", "a.cmd"));
  const FakeClock clock(2026, 12, 9, 14, 29, 0);
  const Survey first = installation.Look(clock);
  const Survey again = installation.Look(clock);
  ASSERT_EQ(again.rows.size(), 1u);
  EXPECT_EQ(again.listedJobs, 1);
  EXPECT_EQ(again.jobList, first.jobList);
  EXPECT_EQ(NextText(again.rows[0]), "12/9/2026 2:30:00 PM");

  installation.Job("b.hvj", Scheduled("1111111", "14:40:00", "b.cmd"));
  installation.Store("a.cmd=12/9/2026 2:30:00 PM\r\n");
  const FakeClock later(2026, 12, 9, 14, 31, 0);
  const Survey changed = installation.Look(later);
  ASSERT_EQ(changed.rows.size(), 2u);
  EXPECT_EQ(changed.listedJobs, 2);
  EXPECT_EQ(RowOf(changed, "a.hvj")->status, JobStatus::Started);
  EXPECT_EQ(NextText(*RowOf(changed, "b.hvj")), "12/9/2026 2:40:00 PM");

  installation.folder.Write("Backup Jobs/a.hvj", "too short\r\n");
  const Survey broken = installation.Look(later);
  EXPECT_EQ(RowOf(broken, "a.hvj")->status, JobStatus::Error);
  EXPECT_TRUE(broken.HasErrors());
}

// A listing of the job folder that fails midway is shown as the rebuild's failure, never as
// a shorter folder (whose empty list would say that the scheduler quits).
TEST(Survey, AListingThatFailsIsShownAsTheRebuildsFailure) {
  const Installation installation;
  installation.Job("a.hvj", "do_schedule=1,days=1111111,time=14:30:00,cmd=x");
  const FileFaults fault(FileFaults::Call::NextEntry, 1);
  const Survey survey = installation.Look(FakeClock(2026, 12, 9));
  ASSERT_TRUE(survey.listingError);
  EXPECT_EQ(survey.listingError->rfind("Cannot list folder ", 0), 0u) << *survey.listingError;
  EXPECT_TRUE(survey.HasErrors());
  EXPECT_FALSE(survey.SchedulerWouldQuit());
}

}  // namespace
