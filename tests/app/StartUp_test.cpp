#include <gtest/gtest.h>

#include "SchedulerFixture.h"
#include "app/ErrorText.h"
#include "app/TForm1.h"
#include "fakes/ErrorMessage.h"
#include "fakes/FileFaults.h"
#include "foundation/Exception.h"

namespace {

TEST(FolderOfPath, KeepsEverythingUpToTheLastSeparatorOfEitherKind) {
  struct Case {
    const char* path;
    const char* folder;
  };
  const Case cases[] = {
      {"C:\\Apps\\Sched\\x.exe", "C:\\Apps\\Sched\\"},
      {"C:/Apps/Sched\\x.exe", "C:/Apps/Sched\\"},
      {"C:\\Apps/Sched/x.exe", "C:\\Apps/Sched/"},
      {"x.exe", ""},
      {"", ""},
      {"\\", "\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderOfPath(c.path), c.folder) << c.path;
}

TEST(InitializeSched_main, DerivesThePathsFromTheExecutable) {
  const SchedState state = InitializeSched_main("C:\\Apps\\Sched\\x.exe");
  EXPECT_EQ(state.ExeDir, "C:\\Apps\\Sched\\");
  EXPECT_EQ(state.JobsDir.substr(0, state.JobsDir.size() - 1), "C:\\Apps\\Sched\\Backup Jobs");
  EXPECT_EQ(state.FolderExclusions, ":Temporary Internet Files:RECYCLER:");
  EXPECT_EQ(state.BackupAppMutexName, "HarbovaleMutex_8m01349r464");
  EXPECT_EQ(state.RescanCountdown, 1);
  EXPECT_EQ(state.LastRunStore.LineCount(), 0);
  EXPECT_EQ(state.JobList.LineCount(), 0);
}

TEST(ErrorBoxText, AddsAFullStopOnlyAfterCharactersThatSortAfterIt) {
  struct Case {
    const char* message;
    const char* text;
  };
  const Case cases[] = {
      {"Range check error", "Range check error."},
      {"Failed to set data for 'Harbovale Scheduler'", "Failed to set data for 'Harbovale Scheduler'"},
      {"List index out of bounds (22)", "List index out of bounds (22)"},
      {"Already a sentence.", "Already a sentence."},
      {"ends in a slash/", "ends in a slash/."},
      {"ends in a dash-", "ends in a dash-"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.text) << c.message;
}

using StartUp = SchedulerFixture;

TEST_F(StartUp, RegistersTheExecutableAndStartsTheOneSecondTimer) {
  TForm1 form(context);
  EXPECT_EQ(autostart.values["Harbovale Scheduler"], exePath);
  EXPECT_EQ(shell.RunningTimers(), 1u);
  EXPECT_EQ(shell.lastInterval, 1000u);
  EXPECT_EQ(state.LastRunStore.LineCount(), 0);
  EXPECT_FALSE(folder.Read(StoreFileName).size());  // nothing is created at start-up
}

TEST_F(StartUp, LoadsAnExistingStoreWithoutRewritingIt) {
  const std::string stored = "backup.cmd=12/8/2026 2:30:00 PM\r\nline without equals\n";
  folder.Write(StoreFileName, stored);
  TForm1 form(context);
  EXPECT_EQ(state.LastRunStore.LineCount(), 2);
  EXPECT_EQ(state.LastRunStore.ValueOf("BACKUP.CMD"), "12/8/2026 2:30:00 PM");
  EXPECT_EQ(StoreText(), stored);
}

TEST_F(StartUp, AFailedRegistrationEndsStartUpBeforeTheStoreIsLoaded) {
  folder.Write(StoreFileName, "backup.cmd=12/8/2026\r\n");
  autostart.refuseWrites = true;
  EXPECT_EQ(ErrorBoxText(MessageOf<ERegistryException>([&] { TForm1 form(context); })),
            "Failed to set data for 'Harbovale Scheduler'");
  EXPECT_EQ(state.LastRunStore.LineCount(), 0);
  EXPECT_EQ(shell.RunningTimers(), 0u);  // no tick ever runs
}

// A store that cannot be read to its end must not pass for a shorter one: its starts would
// be forgotten, and the next save would write the loss back.
TEST_F(StartUp, AFailedReadOfTheStoreEndsStartUp) {
  folder.Write(StoreFileName, "backup.cmd=12/8/2026 2:30:00 PM\r\n");
  const FileFaults fault(FileFaults::Call::Read, 1);
  EXPECT_EQ(ErrorBoxText(MessageOf<EReadError>([&] { TForm1 form(context); })),
            "Stream read error.");
  EXPECT_EQ(state.LastRunStore.LineCount(), 0);
  EXPECT_EQ(shell.RunningTimers(), 0u);
}

TEST_F(StartUp, ARefusedTimerEndsStartUp) {
  shell.refuseTimers = true;
  EXPECT_THROW(TForm1 form(context), EOutOfResources);
  EXPECT_EQ(autostart.writes, 0);
}

}  // namespace
