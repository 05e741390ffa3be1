#include "app/JobDiscovery.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "SchedulerFixture.h"
#include "app/JobFiles.h"
#include "app/TForm1.h"
#include "fakes/FileFaults.h"
#include "listing/Directory.h"

namespace {

constexpr const char* kScheduled = "do_schedule=1,days=1111111,time=14:30:00,cmd=backup.cmd";

class JobDiscovery : public SchedulerFixture {
 protected:
  JobDiscovery() { autostart.values["Harbovale Scheduler"] = exePath; }

  void BackupAppRuns(bool runs) {
    if (runs)
      mutexes.held.insert("HarbovaleMutex_8m01349r464");
    else
      mutexes.held.clear();
  }
  const std::vector<std::string>& Jobs() const { return state.JobList.Lines(); }
};

TEST_F(JobDiscovery, AMissingJobFolderUnregistersAndEndsTheProgram) {
  DiscoverJobs(context);
  EXPECT_TRUE(autostart.values.empty());
  EXPECT_TRUE(shell.closed);
}

TEST_F(JobDiscovery, OnlyScheduledFilesWithTheJobExtensionAreListed) {
  WriteJob("a.hvj", kScheduled);
  WriteJob("weekly.full.hvj", "do_schedule=1,days=1111100,time=9:00,cmd=say hi");
  WriteJob(".hvj", kScheduled);
  WriteJob("Job.HVJ", kScheduled);           // the extension's case matters
  WriteJob("a.hvj.bak", kScheduled);
  WriteJob("off.hvj", "do_schedule=0,cmd=x");
  WriteJob("empty.hvj", "do_schedule=,cmd=x");
  WriteJob("none.hvj", "days=1111111,cmd=x");
  WriteJob("spaced.hvj", "do_schedule= 1,cmd=x");  // " 1" is not "1"
  folder.Write("Backup Jobs/x.hvj/inside.txt", "");  // a folder is not a job file
  DiscoverJobs(context);
  std::vector<std::string> jobs = Jobs();
  std::sort(jobs.begin(), jobs.end());
  EXPECT_EQ(jobs, (std::vector<std::string>{
                      "do_schedule=1,days=1111100,time=9:00,\"cmd=say hi\"", kScheduled,
                      kScheduled}));
  EXPECT_FALSE(shell.closed);
}

TEST_F(JobDiscovery, RebuildsOnTheFirstTickThenFollowsTheBackupApplication) {
  WriteJob("a.hvj", kScheduled);
  DiscoverJobs(context);  // first tick: countdown 1 -> 0
  EXPECT_EQ(state.RescanCountdown, 0);
  EXPECT_EQ(Jobs().size(), 1u);

  WriteJob("b.hvj", kScheduled);
  DiscoverJobs(context);  // idle: the new file is not seen
  EXPECT_EQ(Jobs().size(), 1u);

  BackupAppRuns(true);
  DiscoverJobs(context);
  EXPECT_EQ(state.RescanCountdown, 10);
  EXPECT_EQ(Jobs().size(), 2u);

  BackupAppRuns(false);
  for (int tick = 1; tick <= 10; ++tick) {
    // Appended, not "t" + ...: the cross compiler warns falsely (-Wrestrict) on that form here.
    WriteJob(std::string("t").append(std::to_string(tick)).append(".hvj"), kScheduled);
    DiscoverJobs(context);
    EXPECT_EQ(Jobs().size(), 2u + tick) << "trailing tick " << tick;
  }
  EXPECT_EQ(state.RescanCountdown, 0);
  WriteJob("late.hvj", kScheduled);
  DiscoverJobs(context);
  EXPECT_EQ(Jobs().size(), 12u);
}

TEST_F(JobDiscovery, ARebuildThatFindsNothingScheduledEndsTheProgram) {
  WriteJob("off.hvj", "do_schedule=0");
  DiscoverJobs(context);
  EXPECT_TRUE(shell.closed);
  EXPECT_TRUE(autostart.values.empty());
}

TEST_F(JobDiscovery, AShortJobFileEndsTheTickWithThePartialList) {
  TForm1 form(context);
  for (const char* name : {"a.hvj", "c.hvj", "d.hvj"})
    WriteJob(name, std::string("do_schedule=1,cmd=") + name);
  WriteJob("b.hvj", kScheduled, 22);
  // The jobs listed before the short file stay listed, in listing order.
  std::vector<std::string> before;
  const FDirectory listing(state.JobsDir, state.FolderExclusions, clock);
  for (int i = 0; i < listing.entries.LineCount(); ++i) {
    const std::string name = Tokens(listing.GetEntry(i)).Value("name");
    if (name == "b.hvj") break;
    before.push_back("do_schedule=1,cmd=" + name);
  }
  state.JobList.Append("from an earlier rebuild");
  shell.Tick();
  EXPECT_EQ(shell.boxes, std::vector<std::string>{"List index out of bounds (22)"});
  EXPECT_EQ(Jobs(), before);
  EXPECT_FALSE(shell.closed);  // the empty-list check is skipped on a failed rebuild
}

// A job file that cannot be read to its end is an unreadable one, not a shorter job.
TEST_F(JobDiscovery, AFailedReadOfAJobFileEndsTheTickLikeAnUnreadableFile) {
  TForm1 form(context);
  WriteJob("a.hvj", kScheduled);
  state.JobList.Append("from an earlier rebuild");
  {
    const FileFaults fault(FileFaults::Call::Read, 1);
    shell.Tick();
  }
  EXPECT_EQ(shell.boxes, std::vector<std::string>{"Stream read error."});
  EXPECT_TRUE(Jobs().empty());
  EXPECT_FALSE(shell.closed);
}

// A listing that fails midway is a failure, not a shorter folder (whose empty list would
// unregister the scheduler and end it): wherever the search fails, the tick ends as for an
// unreadable job file, nothing is unregistered, and the next tick lists the folder again.
TEST_F(JobDiscovery, AListingThatFailsEndsTheTickWithoutUnregistering) {
  TForm1 form(context);
  BackupAppRuns(true);  // every tick rebuilds
  for (const char* name : {"a.hvj", "b.hvj"}) WriteJob(name, kScheduled);
  int fetches = 0;
  {
    const FileFaults none(FileFaults::Call::NextEntry, 0);
    shell.Tick();
    fetches = none.Calls();
  }
  ASSERT_EQ(Jobs().size(), 2u);
  ASSERT_GE(fetches, 3);
  const std::string expected = "Cannot list folder " + state.JobsDir + ": ";
  for (int failing = 1; failing <= fetches; ++failing) {
    SCOPED_TRACE("fetch " + std::to_string(failing) + " fails");
    {
      const FileFaults fault(FileFaults::Call::NextEntry, failing);
      shell.Tick();
    }
    ASSERT_FALSE(shell.boxes.empty());
    EXPECT_EQ(shell.boxes.back().substr(0, expected.size()), expected);
    EXPECT_TRUE(Jobs().empty());
    EXPECT_FALSE(shell.closed);
    EXPECT_EQ(autostart.values.count("Harbovale Scheduler"), 1u);
    shell.boxes.clear();
  }
  shell.Tick();
  EXPECT_EQ(Jobs().size(), 2u);
  EXPECT_TRUE(shell.boxes.empty());
}

#ifndef _WIN32
// The whole folder is listed before any job file is read: an entry that cannot be listed
// ends the rebuild with no job at all, whatever stands before it.
TEST_F(JobDiscovery, AnEntryThatCannotBeListedEndsTheTickWithNoJobs) {
  TForm1 form(context);
  for (const char* name : {"a.hvj", "b.hvj", "c.hvj"}) WriteJob(name, kScheduled);
  WriteJob("b|.hvj", kScheduled);
  WriteJob("d.hvj", kScheduled, 22);  // would fail too, but is never read
  state.JobList.Append("from an earlier rebuild");
  shell.Tick();
  EXPECT_EQ(shell.boxes, std::vector<std::string>{"The character | is not allowed."});
  EXPECT_TRUE(Jobs().empty());
}
#endif

TEST_F(JobDiscovery, BadBracesInAScheduleEndTheTick) {
  TForm1 form(context);
  WriteJob("a.hvj", "do_schedule=1,days={1111111");
  shell.Tick();
  EXPECT_EQ(shell.boxes, std::vector<std::string>{"Tokens, {...} do not match."});
}

TEST_F(JobDiscovery, ClosingTheFormLetsTheTickFinishWithoutStartingAnything) {
  TForm1 form(context);
  shell.Tick();
  EXPECT_TRUE(shell.closed);
  EXPECT_TRUE(shell.boxes.empty());
  EXPECT_TRUE(launcher.started.empty());
}

TEST_F(JobDiscovery, TheRoadOfOneJob) {
  TForm1 form(context);
  BackupAppRuns(true);
  clock.Set(2026, 12, 9, 14, 29, 58);
  shell.Tick();  // no job file yet: nothing scheduled ends the program
  EXPECT_TRUE(shell.closed);

  shell.closed = false;
  WriteJob("nightly.hvj", "do_schedule=1,days=0010000,time=14:30:00,cmd=backup.cmd /job nightly");
  for (int tick = 0; tick < 10; ++tick) {
    clock.AdvanceSeconds(1);
    shell.Tick();
  }
  EXPECT_FALSE(shell.closed);
  EXPECT_EQ(launcher.started, std::vector<std::string>{"backup.cmd /job nightly"});
  EXPECT_EQ(StoreText(), "backup.cmd /job nightly=12/9/2026 2:30:00 PM\r\n");
}

}  // namespace

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A job's command runs as the user: a job file that another user could have written ends
// the rebuild as an unreadable one does, and the box names the file and the reason.
TEST_F(JobDiscovery, AJobFileThatOthersMayWriteEndsTheTickWithTheReason) {
  TForm1 form(context);
  BackupAppRuns(true);  // every tick rebuilds
  const std::string path = WriteJob("a.hvj", kScheduled);
  ASSERT_EQ(chmod(state.JobsDir.c_str(), 0755), 0);
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  shell.Tick();
  EXPECT_EQ(shell.boxes,
            std::vector<std::string>{"Unsafe job file " + path + ": other users may write it."});
  EXPECT_TRUE(Jobs().empty());
  EXPECT_FALSE(shell.closed);

  ASSERT_EQ(chmod(path.c_str(), 0664), 0);  // the group may write a job file
  ASSERT_EQ(chmod(state.JobsDir.c_str(), 0777), 0);
  shell.Tick();
  EXPECT_EQ(shell.boxes.back(), "Unsafe job file " + path + ": other users may write its folder.");

  ASSERT_EQ(chmod(state.JobsDir.c_str(), 0775), 0);
  shell.Tick();
  EXPECT_EQ(Jobs(), std::vector<std::string>{kScheduled});
  EXPECT_EQ(shell.boxes.size(), 2u);
}

// A named pipe with the job extension would hold a plain open until someone writes to it:
// the scheduler would hang for good. It is opened without waiting and refused.
TEST_F(JobDiscovery, ANamedPipeIsRefusedWithoutWaiting) {
  TForm1 form(context);
  WriteJob("a.hvj", kScheduled);
  const std::string pipe = state.JobsDir + "x.hvj";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  shell.Tick();
  EXPECT_EQ(shell.boxes,
            std::vector<std::string>{"Unsafe job file " + pipe + ": it is not a regular file."});
  EXPECT_FALSE(shell.closed);
}

// In a folder where others may add entries, a link of another user's is refused before the
// file it leads to is opened.
TEST_F(JobDiscovery, ALinkOfAnotherUserInAFolderOpenToAllIsRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a link to another user";
  TForm1 form(context);
  const std::string target = WriteJob("a.hvj", kScheduled);
  const std::string link = state.JobsDir + "b.hvj";
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  ASSERT_EQ(lchown(link.c_str(), 1, 1), 0);
  ASSERT_EQ(chmod(state.JobsDir.c_str(), 01777), 0);
  BackupAppRuns(true);
  shell.Tick();
  ASSERT_EQ(shell.boxes.size(), 1u);
  EXPECT_EQ(shell.boxes[0],
            "Unsafe job file " + link + ": it is a link that belongs to another user (uid 1)");
}

// The reader keeps its own copy of the folder's path: one made from a passing text works.
TEST_F(JobDiscovery, AReaderOutlivesTheTextItWasMadeFrom) {
  WriteJob("a.hvj", kScheduled);
  ScheduleLineReader reader(std::string(state.JobsDir));
  EXPECT_EQ(reader.Read("a.hvj"), kScheduled);
}

}  // namespace
#endif
