// The walk and the reader that the scheduler's rebuild and tick share with the lister.

#include "app/JobFolderWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "SchedulerFixture.h"
#include "app/ErrorText.h"
#include "app/JobReadings.h"

namespace {

class JobFolderWalk : public SchedulerFixture {
 protected:
  // Entry name -> what the walk made of it: "folder", "not a job", "error: <message>", or the
  // schedule line re-encoded.
  std::map<std::string, std::string> Walk() {
    std::map<std::string, std::string> seen;
    WalkJobFolder(state.Jobs(), state.FolderExclusions, AfterAFailingFile::ReadOn,
                  [&](const JobFolderEntry& entry) {
                    std::string& outcome = seen[entry.name];
                    if (entry.folder)
                      outcome = "folder";
                    else if (!entry.jobFile)
                      outcome = "not a job";
                    else if (entry.error) {
                      try {
                        std::rethrow_exception(entry.error);
                      } catch (...) {
                        outcome = "error: " + CurrentErrorMessage();
                      }
                    } else {
                      outcome = entry.schedule->Text();
                    }
                  });
    return seen;
  }
};

TEST_F(JobFolderWalk, GivesEveryEntryWithWhatTheRebuildMakesOfIt) {
  WriteJob("a.hvj", "do_schedule=1,days=1111111,time=14:30:00,cmd=a.cmd");
  WriteJob("off.hvj", "do_schedule=0");
  WriteJob("short.hvj", "do_schedule=1", 3);
  WriteJob("braces.hvj", "do_schedule=1,{x");
  WriteJob("Upper.HVJ", "do_schedule=1");
  folder.Write("Backup Jobs/sub.hvj/inside.txt", "");
  folder.Write("Backup Jobs/RECYCLER/inside.txt", "");  // excluded by name
  EXPECT_EQ(Walk(), (std::map<std::string, std::string>{
                        {"a.hvj", "do_schedule=1,days=1111111,time=14:30:00,cmd=a.cmd"},
                        {"off.hvj", "do_schedule=0"},
                        {"short.hvj", "error: List index out of bounds (22)"},
                        {"braces.hvj", "error: Tokens, {...} do not match"},
                        {"Upper.HVJ", "not a job"},
                        {"sub.hvj", "folder"},
                    }));
}

// The rebuild raises the first error from its visit, and reads no job file after it; the
// lister reads on, and learns which files the rebuild never gets to.
TEST_F(JobFolderWalk, AfterAFailingFileTheRebuildReadsNoFurther) {
  for (const char* name : {"a.hvj", "b.hvj", "c.hvj", "d.hvj"}) WriteJob(name, "do_schedule=1", 3);
  int visits = 0;
  EXPECT_THROW(WalkJobFolder(state.Jobs(), state.FolderExclusions, AfterAFailingFile::StopReading,
                             [&](const JobFolderEntry& entry) {
                               ++visits;
                               if (entry.error) std::rethrow_exception(entry.error);
                             }),
               Exception);
  EXPECT_EQ(visits, 1);

  for (const AfterAFailingFile after :
       {AfterAFailingFile::StopReading, AfterAFailingFile::ReadOn}) {
    std::vector<std::string> seen;  // in listing order: read, failed or left unread
    WalkJobFolder(state.Jobs(), state.FolderExclusions, after, [&](const JobFolderEntry& entry) {
      seen.push_back(std::string(entry.error      ? "failed"
                                 : entry.schedule ? "read"
                                                  : "unread") +
                     (entry.afterFailure ? " after" : ""));
    });
    const bool readOn = after == AfterAFailingFile::ReadOn;
    EXPECT_EQ(seen, (std::vector<std::string>{"failed", readOn ? "failed after" : "unread after",
                                              readOn ? "failed after" : "unread after",
                                              readOn ? "failed after" : "unread after"}));
  }
}

// A job line read in the tick's order: decoding first (nothing else is read when it fails),
// then the day's flag, the time and the store, the first failure being the tick's error.
TEST(ReadJobLine, GivesItsValuesAndEachErrorInTheTicksOrder) {
  DateTimeFormat = DateTimeFormatSettings{};
  DateTimeFormat.shortDatePicture = "M/d/yyyy";
  const FakeClock clock(2026, 12, 9, 9, 0, 0);
  const DateTimeValue wednesday = LocalToday(clock), saturday = wednesday + 3;
  struct Case {
    const char* label;
    std::string line, stored;
    const char* wednesday;  // the error that ends Wednesday's tick at it, or "-"
    const char* saturday;
  } cases[] = {
      {"fine", "days=1111111,time=14:30:00,cmd=a", "", "-", "-"},
      {"weekday flags only", "days=11111,time=14:30:00,cmd=a", "", "-", "Range check error"},
      {"no flags, bad time", "days=11,time=25:00,cmd=a", "", "Range check error",
       "Range check error"},
      {"bad time before bad store", "days=1111111,time=25:00,cmd=a", "yesterday",
       "'25:00' is not a valid date and time", "'25:00' is not a valid date and time"},
      {"bad store", "days=1111111,time=14:30:00,cmd=a", "yesterday",
       "'yesterday' is not a valid date and time", "'yesterday' is not a valid date and time"},
      {"braces", "days={1111111", "", "Tokens, {...} do not match", "Tokens, {...} do not match"},
  };
  for (const Case& c : cases) {
    const JobLine job = ReadJobLine(
        c.line, [&](const std::string& key) { return key == "a" ? c.stored : ""; }, clock);
    EXPECT_EQ(job.ErrorOn(wednesday).value_or("-"), c.wednesday) << c.label;
    EXPECT_EQ(job.ErrorOn(saturday).value_or("-"), c.saturday) << c.label;
    if (!job.decodeError) {
      EXPECT_EQ(job.cmd, "a") << c.label;
      EXPECT_EQ(job.storeText, c.stored) << c.label;
    }
  }
  DateTimeFormat = DateTimeFormatSettings{};
}

}  // namespace
