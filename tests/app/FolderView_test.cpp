// The program's folder as this user sees it: the real folder with the user's own copy laid
// over it, where the scheduler reads its job files and store and saves its store when the
// folder refuses it.

#include "app/FolderView.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "SchedulerFixture.h"
#include "app/JobFolderWalk.h"
#include "app/TForm1.h"
#include "fakes/ErrorMessage.h"
#include "fakes/FileFaults.h"
#include "foundation/Exception.h"
#include "platform/Files.h"

namespace {

std::string JobText(const std::string& cmd, const std::string& time = "14:30:00") {
  return "do_schedule=1,days=1111111,time=" + time + ",cmd=" + cmd;
}

class UserCopy : public SchedulerFixture {
 protected:
  UserCopy() {
    // The copy lies in folders that do not exist yet, as under a new user's profile.
    const FolderView program{state.ExeDir, folder.PathOf("profile") + sep + "store" + sep};
    state.ExeDirCopy = program.copy;
    state.JobsDirCopy = program.Sub(kJobsFolderName).copy;
  }

  // Writes a job file into the user's copy of "Backup Jobs".
  void WriteCopiedJob(const std::string& name, const std::string& schedule,
                      int lines = kScheduleLine) {
    std::filesystem::create_directories(state.JobsDirCopy);
    folder.Write(CopyRelative(state.JobsDirCopy + name), JobFileText(schedule, lines));
  }
  std::string CopyRelative(const std::string& path) const {
    return path.substr(folder.Path().size());
  }
  std::string CopyStoreText() const {
    return folder.Read(CopyRelative(state.ExeDirCopy + StoreFileName));
  }

  // One tick of the scheduler's timer at `hour:minute:second` of the clock's day.
  void TickAt(int hour, int minute, int second) {
    clock.SetTimeOfDay(hour, minute, second);
    shell.Tick();
  }

  const std::string sep{platform::kPathSeparator};
};

TEST_F(UserCopy, AStoreTheFolderRefusesIsSavedInTheUsersCopyAndReadFromThereAfter) {
  WriteJob("a.hvj", JobText("backup.cmd"));
  const RefusedFolder refused(state.ExeDir);
  {
    TForm1 form(context);
    TickAt(14, 30, 1);
    EXPECT_EQ(shell.boxes, std::vector<std::string>{});
    EXPECT_EQ(launcher.started, std::vector<std::string>{"backup.cmd"});
    EXPECT_EQ(CopyStoreText(), "backup.cmd=12/9/2026 2:30:00 PM\r\n");
    EXPECT_FALSE(platform::FileExists(state.ExeDir + StoreFileName));
#ifndef _WIN32
    for (const std::string& made : {state.ExeDirCopy, folder.PathOf("profile")}) {
      struct stat status;
      ASSERT_EQ(stat(made.c_str(), &status), 0) << made;
      EXPECT_EQ(status.st_mode & 0777, 0700u) << made;  // the user's alone
    }
#endif
  }
  // A scheduler started again within the five minutes reads the copy and starts nothing twice.
  SchedState again = InitializeSched_main(exePath);
  again.ExeDirCopy = state.ExeDirCopy;
  again.JobsDirCopy = state.JobsDirCopy;
  EXPECT_EQ(again.StorePath(), state.ExeDirCopy + StoreFileName);
  SchedContext restarted{again, shell, clock, mutexes, launcher, autostart, exePath};
  TForm1 form(restarted);
  TickAt(14, 31, 0);
  EXPECT_EQ(launcher.started.size(), 1u);
}

TEST_F(UserCopy, OnceTheCopyHoldsTheStoreSavesGoThereEvenWhereTheFolderWouldTakeThem) {
  folder.Write(CopyRelative(state.ExeDirCopy + StoreFileName), "old.cmd=12/1/2026 2:30:00 PM\r\n");
  state.LastRunStore.Append("new.cmd=12/9/2026 2:30:00 PM");
  SaveLinesInto(state.LastRunStore, state.Program(), StoreFileName);
  EXPECT_EQ(CopyStoreText(), "new.cmd=12/9/2026 2:30:00 PM\r\n");
  EXPECT_FALSE(platform::FileExists(state.ExeDir + StoreFileName));
}

TEST_F(UserCopy, ASaveThatFailsNamesThePathItFailedAt) {
  state.LastRunStore.Append("x.cmd=12/9/2026 2:30:00 PM");
  const auto saveError = [&] {
    return MessageOf<EFCreateError>(
        [&] { SaveLinesInto(state.LastRunStore, state.Program(), StoreFileName); });
  };
  {
    // The copy refuses too: the error names the copy, where the save was last tried.
    std::filesystem::create_directories(state.ExeDirCopy);
    const RefusedFolder refused(state.ExeDir), copyRefused(state.ExeDirCopy);
    EXPECT_EQ(saveError(), "Cannot create file " + state.ExeDirCopy + StoreFileName);
    EXPECT_EQ(CopyStoreText(), "");
  }
  {
    // No copy named: the folder's refusal is the error.
    const RefusedFolder refused(state.ExeDir);
    state.ExeDirCopy.clear();
    EXPECT_EQ(saveError(), "Cannot create file " + state.ExeDir + StoreFileName);
  }
}

TEST_F(UserCopy, AFailureOtherThanARefusalStaysTheErrorItIs) {
  state.LastRunStore.Append("x.cmd=12/9/2026 2:30:00 PM");
  const FileFaults fault(FileFaults::Call::Rename, 1);
  EXPECT_EQ(MessageOf<EFCreateError>(
                [&] { SaveLinesInto(state.LastRunStore, state.Program(), StoreFileName); }),
            "Cannot create file " + state.ExeDir + StoreFileName);
  EXPECT_FALSE(platform::FolderExists(state.ExeDirCopy));
}

// The real folder's entries in their order, each one the copy also holds read from the copy
// in its place (even where the real one would fail), then the copy's own.
TEST_F(UserCopy, TheJobFolderIsTheRealOneWithTheCopysFilesOverIt) {
  WriteJob("a.hvj", JobText("a.cmd"));
  WriteJob("b.hvj", JobText("b-real.cmd"), 22);  // too short, but the copy's stands in its place
  WriteJob("d.hvj", JobText("d.cmd"));
  WriteCopiedJob("c.hvj", JobText("c.cmd"));
  WriteCopiedJob("b.hvj", JobText("b-copy.cmd"));
  std::vector<std::string> seen;
  WalkJobFolder(state.Jobs(), state.FolderExclusions, AfterAFailingFile::ReadOn,
                [&](const JobFolderEntry& entry) {
                  ASSERT_FALSE(entry.error) << entry.name;
                  seen.push_back(entry.name + " " + entry.schedule->Value("cmd"));
                });
  std::vector<std::string> realOrder;  // the order the file system lists them in
  WalkJobFolder(FolderView{state.JobsDir, ""}, state.FolderExclusions, AfterAFailingFile::ReadOn,
                [&](const JobFolderEntry& entry) { realOrder.push_back(entry.name); });
  std::vector<std::string> expected;
  for (const std::string& name : realOrder)
    expected.push_back(name + (name == "b.hvj" ? " b-copy.cmd" : " " + name.substr(0, 1) + ".cmd"));
  expected.push_back("c.hvj c.cmd");
  EXPECT_EQ(seen, expected);
}

TEST_F(UserCopy, AJobFolderOnlyTheCopyHoldsIsListedAndItsJobsStart) {
  WriteCopiedJob("only.hvj", JobText("only.cmd"));
  ASSERT_FALSE(platform::FolderExists(state.JobsDir));
  EXPECT_TRUE(state.Jobs().Exists());
  TForm1 form(context);
  TickAt(14, 30, 1);
  EXPECT_EQ(shell.boxes, std::vector<std::string>{});
  EXPECT_FALSE(shell.closed);
  EXPECT_EQ(launcher.started, std::vector<std::string>{"only.cmd"});
}

#ifndef _WIN32
TEST_F(UserCopy, AJobFileOfTheCopyPassesTheSameSafetyChecks) {
  WriteCopiedJob("open.hvj", JobText("open.cmd"));
  const std::string path = state.JobsDirCopy + "open.hvj";
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  std::string error;
  WalkJobFolder(state.Jobs(), state.FolderExclusions, AfterAFailingFile::ReadOn,
                [&](const JobFolderEntry& entry) {
                  if (entry.error)
                    error = MessageOf<Exception>([&] { std::rethrow_exception(entry.error); });
                });
  EXPECT_EQ(error, "Unsafe job file " + path + ": other users may write it");
}
#endif

}  // namespace
