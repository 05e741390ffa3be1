#include "app/ScheduleCheck.h"

#include <gtest/gtest.h>

#include "SchedulerFixture.h"
#include "app/TForm1.h"
#include "fakes/ErrorMessage.h"
#include "foundation/Exception.h"
#include "platform/Files.h"

namespace {

std::string JobText(const std::string& days, const std::string& time, const std::string& cmd) {
  return "do_schedule=1,days=" + days + ",time=" + time + ",cmd=" + cmd;
}

class ScheduleCheck : public SchedulerFixture {
 protected:
  // One schedule check at the given time of the fake clock's day.
  void CheckAt(int hour, int minute, int second) {
    clock.SetTimeOfDay(hour, minute, second);
    CheckSchedule(context);
  }

  template <typename Error>
  std::string ErrorAt(int hour, int minute, int second) {
    return MessageOf<Error>([&] { CheckAt(hour, minute, second); });
  }
};

TEST_F(ScheduleCheck, AWeekdayJobStartsOnceAtTheFirstTickAfterItsTime) {
  state.JobList.Append(JobText("1111100", "14:30:00", "backup.cmd"));
  CheckAt(14, 29, 59);
  CheckAt(14, 30, 0);  // the time itself is not yet past
  EXPECT_TRUE(launcher.started.empty());
  EXPECT_EQ(StoreText(), "");

  CheckAt(14, 30, 1);
  EXPECT_EQ(launcher.started, std::vector<std::string>{"backup.cmd"});
  EXPECT_EQ(StoreText(), "backup.cmd=12/9/2026 2:30:00 PM\r\n");

  for (int second = 2; second < 60; ++second) CheckAt(14, 30, second);
  CheckAt(14, 34, 59);
  EXPECT_EQ(launcher.started.size(), 1u);
}

TEST_F(ScheduleCheck, StartsOnlyWithinFiveMinutesAfterTheTime) {
  state.JobList.Append(JobText("1111111", "14:30:00", "late.cmd"));
  CheckAt(14, 35, 0);
  EXPECT_TRUE(launcher.started.empty());
  CheckAt(14, 34, 59);
  EXPECT_EQ(launcher.started.size(), 1u);
}

TEST_F(ScheduleCheck, FollowsTheDayFlags) {
  struct Case {
    const char* label;
    int year, month, day;
    const char* days;
    bool starts;
  };
  const Case cases[] = {
      {"weekly, Wednesday flagged", 2026, 12, 9, "1111100", true},
      {"weekly, Saturday not flagged", 2026, 12, 12, "1111100", false},
      {"weekly, Sunday not flagged", 2026, 12, 13, "1111100", false},
      {"weekly, Sunday flagged", 2026, 12, 13, "0000001", true},
      {"weekly, any character but '1' is off", 2026, 12, 9, "11x1100", false},
      {"8 flags are days of the month: 9th", 2026, 12, 9, "00000000100000000000000000000000", true},
      {"8 flags are days of the month: 8th", 2026, 12, 8, "00000001", true},
      {"a weekly position would be Tuesday", 2026, 12, 2, "01000000", true},
      {"the 31st uses position 31", 2026, 12, 31, "0000000000000000000000000000001", true},
  };
  for (const Case& c : cases) {
    state = InitializeSched_main(exePath);
    launcher.started.clear();
    state.JobList.Append(JobText(c.days, "14:30:00", "job.cmd"));
    clock.Set(c.year, c.month, c.day, 14, 30, 1);
    CheckSchedule(context);
    EXPECT_EQ(launcher.started.size(), c.starts ? 1u : 0u) << c.label;
  }
}

TEST_F(ScheduleCheck, ADayPositionBeyondTheFlagsIsARangeError) {
  struct Case {
    const char* label;
    int year, month, day;
    const char* days;
  };
  const Case cases[] = {
      {"5 weekly flags on a Saturday", 2026, 12, 12, "11111"},
      {"30 day flags on the 31st", 2026, 12, 31, "111111111111111111111111111111"},
      {"no days item", 2026, 12, 9, ""},
  };
  for (const Case& c : cases) {
    state = InitializeSched_main(exePath);
    state.JobList.Append(c.days[0] ? JobText(c.days, "14:30:00", "job.cmd")
                                   : "do_schedule=1,time=14:30:00,cmd=job.cmd");
    clock.Set(c.year, c.month, c.day);
    EXPECT_EQ(ErrorAt<ERangeError>(14, 30, 1), "Range check error") << c.label;
  }
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(ScheduleCheck, AnErrorEndsTheCheckAtThatJob) {
  state.JobList.Append(JobText("1111111", "14:30:00", "first.cmd"));
  state.JobList.Append(JobText("1111111", "half past two", "broken.cmd"));
  state.JobList.Append(JobText("1111111", "14:30:00", "third.cmd"));
  EXPECT_EQ(ErrorAt<ConversionError>(14, 30, 1), "'half past two' is not a valid date and time");
  EXPECT_EQ(launcher.started, std::vector<std::string>{"first.cmd"});
}

TEST_F(ScheduleCheck, TheLastRunStoreDecidesWhetherTodaysRunIsDone) {
  folder.Write(StoreFileName, "");
  state.LastRunStore.Append("today.cmd=12/9/2026 2:30:00 PM");
  state.LastRunStore.Append("yesterday.cmd=12/8/2026 2:30:00 PM");
  state.LastRunStore.Append("earlier.cmd=12/9/2026 1:00:00 PM");
  state.LastRunStore.Append("unrelated line");
  for (const char* cmd : {"TODAY.cmd", "yesterday.cmd", "earlier.cmd"})
    state.JobList.Append(JobText("1111111", "14:30:00", cmd));
  CheckAt(14, 30, 1);
  EXPECT_EQ(launcher.started, (std::vector<std::string>{"yesterday.cmd", "earlier.cmd"}));
  EXPECT_EQ(StoreText(),
            "today.cmd=12/9/2026 2:30:00 PM\r\n"
            "yesterday.cmd=12/9/2026 2:30:00 PM\r\n"
            "earlier.cmd=12/9/2026 2:30:00 PM\r\n"
            "unrelated line\r\n");
}

TEST_F(ScheduleCheck, AnUnreadableStoredRunIsAConversionError) {
  state.LastRunStore.Append("backup.cmd=9 December 2026");
  state.JobList.Append(JobText("0000000", "14:30:00", "backup.cmd"));  // also for a job off today
  EXPECT_EQ(ErrorAt<ConversionError>(10, 0, 0), "'9 December 2026' is not a valid date and time");
}

TEST_F(ScheduleCheck, ReadsTextsAgainWhenTheDateTimeSettingsChange) {
  state.LastRunStore.Append("backup.cmd=12/8/2026 2:30:00 PM");
  state.JobList.Append(JobText("1111111", "14.30.00", "backup.cmd"));
  EXPECT_EQ(ErrorAt<ConversionError>(14, 30, 1), "'14.30.00' is not a valid date and time");

  DateTimeFormat.timeSep = '.';
  EXPECT_EQ(ErrorAt<ConversionError>(14, 30, 1),
            "'12/8/2026 2:30:00 PM' is not a valid date and time");

  DateTimeFormat.dateSep = '.';
  DateTimeFormat.shortDatePicture = "d.M.yyyy";
  state.LastRunStore.ReplaceLine(0, "backup.cmd=8.12.2026 14.30.00");
  CheckAt(14, 30, 2);
  EXPECT_EQ(launcher.started, std::vector<std::string>{"backup.cmd"});
  EXPECT_EQ(StoreText(), "backup.cmd=9.12.2026 2.30.00 PM\r\n");
}

TEST_F(ScheduleCheck, AJobLateInTheDayDoesNotStartAfterMidnight) {
  state.JobList.Append(JobText("1111111", "23:58:00", "night.cmd"));
  clock.Set(2026, 12, 10, 0, 1, 0);
  CheckSchedule(context);
  EXPECT_TRUE(launcher.started.empty());
  clock.Set(2026, 12, 9, 23, 59, 59, 500);
  CheckSchedule(context);
  EXPECT_EQ(launcher.started.size(), 1u);
}

TEST_F(ScheduleCheck, ATimeThatCarriesADateIsNeverDue) {
  state.JobList.Append(JobText("1111111", "12/9/2026 14:30:00", "dated.cmd"));
  CheckAt(14, 30, 1);
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(ScheduleCheck, AJobWithoutCommandStartsTheEmptyCommandLine) {
  state.JobList.Append("do_schedule=1,days=1111111,time=14:30:00");
  CheckAt(14, 30, 1);
  CheckAt(14, 30, 2);
  EXPECT_EQ(launcher.started, std::vector<std::string>{""});
  EXPECT_EQ(StoreText(), "=12/9/2026 2:30:00 PM\r\n");
}

TEST_F(ScheduleCheck, ACommandWithEqualsStartsOnceAndKeepsOneLine) {
  state.JobList.Append(JobText("1111111", "14:30:00", "run.exe /level=full"));
  for (int second = 1; second < 60; ++second) CheckAt(14, 30, second);
  EXPECT_EQ(launcher.started, std::vector<std::string>{"run.exe /level=full"});
  EXPECT_EQ(StoreText(), "run.exe /level|full=12/9/2026 2:30:00 PM\r\n");

  // A restart reads it back from the file.
  state = InitializeSched_main(exePath);
  state.LastRunStore.LoadLines(state.StorePath());
  state.JobList.Append(JobText("1111111", "14:30:00", "run.exe /level=full"));
  CheckAt(14, 31, 0);
  EXPECT_EQ(launcher.started.size(), 1u);
}

TEST_F(ScheduleCheck, JobsWithTheSameCommandShareTheirLastRun) {
  state.JobList.Append(JobText("1111111", "14:30:00", "same.cmd"));
  state.JobList.Append(JobText("1111111", "14:28:00", "same.cmd"));
  CheckAt(14, 30, 1);  // the earlier time counts as done once the later one ran
  CheckAt(14, 30, 2);
  EXPECT_EQ(launcher.started, std::vector<std::string>{"same.cmd"});
}

// A tick as the clock passes midnight takes the date and the time of day from one reading:
// read apart, Wednesday's date with Thursday's first millisecond would start Wednesday's
// midnight job a day late.
TEST_F(ScheduleCheck, ReadsTheDateAndTheTimeOfDayFromOneReadingOfTheClock) {
  state.JobList.Append(JobText("0010000", "00:00:00", "wednesday.cmd"));
  clock.Set(2026, 12, 9, 23, 59, 59, 999);
  clock.AdvanceAfterEachReading(2);
  CheckSchedule(context);
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(ScheduleCheck, AFailedSaveStartsNothingAndKeepsTheRunInMemory) {
  folder.Write(std::string(StoreFileName) + ".tmp/blocker", "");  // the save cannot create its file
  state.JobList.Append(JobText("1111111", "14:30:00", "backup.cmd"));
  EXPECT_EQ(ErrorAt<EFCreateError>(14, 30, 1), "Cannot create file " + state.StorePath());
  EXPECT_TRUE(launcher.started.empty());
  EXPECT_FALSE(platform::FolderExists(state.ExeDirCopy));  // no lack of rights: not redirected
  EXPECT_EQ(state.LastRunStore.ValueOf("backup.cmd"), "12/9/2026 2:30:00 PM");
  CheckAt(14, 30, 2);
  EXPECT_TRUE(launcher.started.empty());
}

// Through the form: errors of a tick become one error box each, and the next tick starts
// again from the first job.
TEST_F(ScheduleCheck, EachFailingTickShowsTheErrorBox) {
  TForm1 form(context);
  state.RescanCountdown = 0;  // keep the job list as the test made it
  state.JobList.Append(JobText("11111", "14:30:00", "job.cmd"));
  clock.Set(2026, 12, 12, 14, 30, 1);  // a Saturday
  shell.Tick();
  shell.Tick();
  EXPECT_EQ(shell.boxes, (std::vector<std::string>{"Range check error.", "Range check error."}));
}

TEST_F(ScheduleCheck, NoSecondBoxOpensWhileOneIsOpenButTicksGoOn) {
  TForm1 form(context);
  state.RescanCountdown = 0;
  state.JobList.Append(JobText("1111111", "14:30:00", "good.cmd"));
  state.JobList.Append(JobText("11111", "14:30:00", "bad.cmd"));
  clock.Set(2026, 12, 12, 14, 30, 1);  // Saturday: the second job fails on every tick
  int ticksWhileOpen = 0;
  shell.whileBoxOpen = [&] {
    for (; ticksWhileOpen < 5; ++ticksWhileOpen) shell.Tick();
  };
  shell.Tick();
  EXPECT_EQ(ticksWhileOpen, 5);
  EXPECT_EQ(shell.boxes, std::vector<std::string>{"Range check error."});
  EXPECT_EQ(launcher.started, std::vector<std::string>{"good.cmd"});
}

// A box that closes long after it was shown (a notification): the failing ticks meanwhile
// show nothing, and the first failing tick after the close shows the next box.
TEST_F(ScheduleCheck, ABoxThatClosesLaterHoldsBackTheNextUntilItHasClosed) {
  TForm1 form(context);
  state.RescanCountdown = 0;
  state.JobList.Append(JobText("11111", "14:30:00", "bad.cmd"));
  clock.Set(2026, 12, 12, 14, 30, 1);  // Saturday: the job fails on every tick
  shell.closeLater = true;
  for (int tick = 0; tick < 3; ++tick) shell.Tick();
  EXPECT_EQ(shell.boxes.size(), 1u);
  shell.CloseBox();
  shell.Tick();
  shell.Tick();
  EXPECT_EQ(shell.boxes, (std::vector<std::string>{"Range check error.", "Range check error."}));
}

}  // namespace
