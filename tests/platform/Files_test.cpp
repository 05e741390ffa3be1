// The file backend when the system fails it after the file was opened: a failing disk or a
// share that drops in the middle of a read, a full disk while writing.

#include "platform/Files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "TestSupport.h"
#include "fakes/FileFaults.h"
#include "fakes/TempFolder.h"

namespace {

using platform::ReadOutcome;
using platform::SaveOutcome;

// Whatever read fails, before the end or the one that would find the end, the outcome is a
// failure and no bytes: a shortened file must never pass for the whole one.
TEST(ReadWholeFile, EveryReadThatFailsAfterTheOpenFailsTheWholeRead) {
  TempFolder folder;
  for (const std::size_t size : {std::size_t{0}, std::size_t{10}, std::size_t{200'000}}) {
    const std::string bytes(size, 'x');
    const std::string path = folder.Write("file" + std::to_string(size), bytes);
    int reads = 0;
    {
      const FileFaults none(FileFaults::Call::Read, 0);
      const platform::FileContents whole = platform::ReadWholeFile(path);
      ASSERT_EQ(whole.outcome, ReadOutcome::Read);
      EXPECT_EQ(whole.bytes, bytes);
      reads = none.Calls();
    }
    ASSERT_GE(reads, size > 0 ? 2 : 1);  // the data, then the end
    for (int failing = 1; failing <= reads; ++failing) {
      SCOPED_TRACE(std::to_string(size) + " bytes, read " + std::to_string(failing) + " fails");
      const FileFaults fault(FileFaults::Call::Read, failing);
      const platform::FileContents contents = platform::ReadWholeFile(path);
      EXPECT_EQ(contents.outcome, ReadOutcome::ReadFailed);
      EXPECT_EQ(contents.bytes, "");
    }
  }
  EXPECT_EQ(platform::ReadWholeFile(folder.PathOf("missing")).outcome, ReadOutcome::CannotOpen);
}

// A save that fails at any step leaves the previous file whole and no temporary file.
TEST(ReplaceWholeFile, AFailedStepLeavesThePreviousFileAndNoTemporary) {
  struct Case {
    const char* label;
    FileFaults::Call call;
    SaveOutcome expected;
  };
  const Case cases[] = {
      {"the write fails (disk full)", FileFaults::Call::Write, SaveOutcome::ShortWrite},
      {"the flush to the disk fails", FileFaults::Call::Flush, SaveOutcome::ShortWrite},
      {"putting the new file in place fails", FileFaults::Call::Rename, SaveOutcome::CannotCreate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    const std::string path = folder.Write("store.dat", "previous\r\n");
    {
      const FileFaults fault(c.call, 1);
      EXPECT_EQ(platform::ReplaceWholeFile(path, "new\r\n"), c.expected);
      EXPECT_EQ(fault.Calls(), 1);
    }
    EXPECT_EQ(folder.Read("store.dat"), "previous\r\n");
    EXPECT_FALSE(platform::FileExists(path + ".tmp"));
  }
}

TEST(UnsafeToRunReason, AJobFileOfTheUsersOwnIsSafe) {
  TempFolder folder;
  const std::string path = folder.Write("job.hvj", "line\r\n");
#ifndef _WIN32
  ASSERT_EQ(chmod(folder.Path().c_str(), 0755), 0);
  ASSERT_EQ(chmod(path.c_str(), 0644), 0);
#endif
  EXPECT_EQ(platform::UnsafeToRunReason(path), std::nullopt);
  EXPECT_EQ(platform::UnsafeToRunReason(folder.PathOf("missing.hvj")), std::nullopt);
}

}  // namespace

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/posix/FileCalls.h"

namespace {

int interruptedReads = 0;

// A signal that arrives during a read interrupts it; the read is simply made again.
ssize_t InterruptedEveryOtherTime(int fd, void* buffer, size_t size) {
  if (++interruptedReads % 2 == 1) return errno = EINTR, -1;
  return platform::RealFileCalls().read(fd, buffer, size);
}

TEST(ReadWholeFile, AnInterruptedReadIsMadeAgain) {
  TempFolder folder;
  const std::string bytes(200'000, 'y');
  const std::string path = folder.Write("file", bytes);
  platform::SystemFileCalls().read = InterruptedEveryOtherTime;
  const platform::FileContents contents = platform::ReadWholeFile(path);
  platform::SystemFileCalls() = platform::RealFileCalls();
  EXPECT_EQ(contents.outcome, ReadOutcome::Read);
  EXPECT_EQ(contents.bytes, bytes);
  EXPECT_GT(interruptedReads, 2);
}

// The calls of a save, in order, as the table of system calls sees them.
std::vector<std::string>* saveCalls = nullptr;
ssize_t RecordWrite(int fd, const void* buffer, size_t size) {
  saveCalls->push_back("write");
  return platform::RealFileCalls().write(fd, buffer, size);
}
int RecordFsync(int fd) {
  struct stat status;
  fstat(fd, &status);
  saveCalls->push_back(S_ISDIR(status.st_mode) ? "flush folder" : "flush file");
  return platform::RealFileCalls().fsync(fd);
}
int RecordRename(const char* from, const char* to) {
  saveCalls->push_back("rename");
  return platform::RealFileCalls().rename(from, to);
}

// The folder is flushed after the rename, so that the rename survives a power cut.
TEST(ReplaceWholeFile, WritesFlushesRenamesThenFlushesTheFolder) {
  TempFolder folder;
  const std::string path = folder.Write("store.dat", "previous\r\n");
  std::vector<std::string> calls;
  saveCalls = &calls;
  platform::FileCalls& table = platform::SystemFileCalls();
  table.write = RecordWrite;
  table.fsync = RecordFsync;
  table.rename = RecordRename;
  const SaveOutcome outcome = platform::ReplaceWholeFile(path, "new\r\n");
  table = platform::RealFileCalls();
  EXPECT_EQ(outcome, SaveOutcome::Saved);
  EXPECT_EQ(calls, (std::vector<std::string>{"write", "flush file", "rename", "flush folder"}));
}

// Each step failing: before the rename the previous file stays; once the new file is in
// place a failing folder flush still counts as saved (the job must start; only the rename's
// survival of a power cut is less certain).
TEST(ReplaceWholeFile, EachStepFailingGivesItsOutcome) {
  struct Case {
    const char* label;
    FileFaults::Call call;
    int failing;
    SaveOutcome expected;
    const char* contents;
  };
  const Case cases[] = {
      {"write", FileFaults::Call::Write, 1, SaveOutcome::ShortWrite, "previous\r\n"},
      {"flush file", FileFaults::Call::Flush, 1, SaveOutcome::ShortWrite, "previous\r\n"},
      {"rename", FileFaults::Call::Rename, 1, SaveOutcome::CannotCreate, "previous\r\n"},
      {"flush folder", FileFaults::Call::Flush, 2, SaveOutcome::Saved, "new\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempFolder folder;
    const std::string path = folder.Write("store.dat", "previous\r\n");
    {
      const FileFaults fault(c.call, c.failing);
      EXPECT_EQ(platform::ReplaceWholeFile(path, "new\r\n"), c.expected);
      EXPECT_EQ(fault.Calls(), c.failing);
    }
    EXPECT_EQ(folder.Read("store.dat"), c.contents);
    EXPECT_FALSE(platform::FileExists(path + ".tmp"));
  }
}

// A job file's command runs as the user: a file or folder that someone else could have
// written is refused, with the reason.
struct SafetyCase {
  const char* label;
  mode_t folderMode, fileMode;
  std::optional<std::string> reason;
};

void ExpectReasons(const SafetyCase* cases, std::size_t count, uid_t folderOwner, uid_t fileOwner) {
  for (std::size_t i = 0; i < count; ++i) {
    const SafetyCase& c = cases[i];
    SCOPED_TRACE(c.label);
    TempFolder scratch;
    const std::string folder = scratch.PathOf("Backup Jobs");
    const std::string path = scratch.Write("Backup Jobs/job.hvj", "line\r\n");
    ASSERT_EQ(chown(path.c_str(), fileOwner, fileOwner), 0);
    ASSERT_EQ(chown(folder.c_str(), folderOwner, folderOwner), 0);
    ASSERT_EQ(chmod(path.c_str(), c.fileMode), 0);
    ASSERT_EQ(chmod(folder.c_str(), c.folderMode), 0);
    EXPECT_EQ(platform::UnsafeToRunReason(path), c.reason);
    // The halves that a reader of many files of the folder uses: the folder once, then each
    // file without it.
    const std::optional<std::string> ofFile =
        platform::UnsafeToRunReason(path, platform::FolderCheck::AlreadyFoundSafe);
    EXPECT_EQ(ofFile ? ofFile : platform::UnsafeFolderReason(path), c.reason);
    // The same through the open file and the folder looked at once.
    const platform::InputFile opened(path);
    const std::optional<std::string> ofOpened = opened.UnsafeToRunReason();
    EXPECT_EQ(ofOpened ? ofOpened : platform::LookAtFolderOf(path).unsafeReason, c.reason);
  }
}

TEST(UnsafeToRunReason, WhatOthersMayWriteIsRefusedAndGroupWriteIsAllowed) {
  const SafetyCase cases[] = {
      {"private", 0700, 0600, std::nullopt},
      {"readable by all", 0755, 0644, std::nullopt},
      {"the group may write both", 0775, 0664, std::nullopt},
      {"others may write the file", 0755, 0646, "other users may write it"},
      {"others may write the folder", 0757, 0644, "other users may write its folder"},
      {"others may write the sticky folder", 01777, 0644, std::nullopt},
      {"others may write both", 0777, 0666, "other users may write it"},
  };
  ExpectReasons(cases, std::size(cases), geteuid(), geteuid());
}

TEST(UnsafeToRunReason, AFileFolderOrLinkOfAnotherUserIsRefused) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
  const SafetyCase ofAnother[] = {{"the file", 0755, 0644, "it belongs to another user (uid 1)"}};
  ExpectReasons(ofAnother, 1, 0, 1);
  const SafetyCase inAnothers[] = {
      {"the folder", 0755, 0644, "its folder belongs to another user (uid 1)"}};
  ExpectReasons(inAnothers, 1, 1, 0);

  // A link that another user put in a folder open to all leads wherever they chose.
  TempFolder scratch;
  const std::string path = scratch.Write("job.hvj", "line\r\n");
  ASSERT_EQ(chmod(scratch.Path().c_str(), 01777), 0);
  const std::string link = scratch.PathOf("link.hvj");
  ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
  ASSERT_EQ(lchown(link.c_str(), 1, 1), 0);
  EXPECT_EQ(platform::UnsafeToRunReason(link), "it is a link that belongs to another user (uid 1)");
}

// What is not a regular file is no job file: a named pipe would hold a plain open for good.
TEST(UnsafeToRunReason, WhatIsNotARegularFileIsRefused) {
  TempFolder scratch;
  ASSERT_EQ(chmod(scratch.Path().c_str(), 0755), 0);
  const std::string pipe = scratch.PathOf("pipe.hvj");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0644), 0);
  EXPECT_EQ(platform::UnsafeToRunReason(pipe), "it is not a regular file");
  const platform::InputFile opened(pipe);  // does not wait for a writer
  ASSERT_TRUE(opened.IsOpen());
  EXPECT_EQ(opened.UnsafeToRunReason(), "it is not a regular file");
  EXPECT_EQ(platform::UnsafeToRunReason("/dev/null"), "it is not a regular file");
}

// Root may own what any user runs: a file of root's, in a folder of root's, is safe for all.
TEST(UnsafeToRunReason, AFileOfRootIsSafe) {
  EXPECT_EQ(platform::UnsafeToRunReason("/etc/passwd"), std::nullopt);
}

// Through a link of the user's own, the file it leads to is what counts.
TEST(UnsafeToRunReason, ALinkIsFollowedToTheFile) {
  TempFolder scratch;
  ASSERT_EQ(chmod(scratch.Path().c_str(), 0755), 0);
  const std::string target = scratch.Write("elsewhere.txt", "line\r\n");
  ASSERT_EQ(chmod(target.c_str(), 0666), 0);
  const std::string link = scratch.PathOf("job.hvj");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  EXPECT_EQ(platform::UnsafeToRunReason(link), "other users may write it");
}

}  // namespace
#endif

namespace {

// Where the system keeps this user's copy of a program folder, and how its folders are made.
TEST(UserCopyOfFolder, IsNamedAfterTheFolderInTheUsersOwnPlace) {
#ifdef _WIN32
  const std::string copy = platform::UserCopyOfFolder("C:\\Program Files\\Harbovale\\");
  EXPECT_TRUE(copy.ends_with("\\VirtualStore\\Program Files\\Harbovale\\")) << copy;
  EXPECT_EQ(copy[1], ':') << copy;  // under the user's local application data
  EXPECT_EQ(platform::UserCopyOfFolder("D:/Apps/Harbovale/"),
            copy.substr(0, copy.size() - std::string("Program Files\\Harbovale\\").size()) +
                "Apps\\Harbovale\\");
  EXPECT_EQ(platform::UserCopyOfFolder("\\\\server\\share\\Harbovale\\"), "");  // on no drive
#else
  using testsupport::ScopedEnvironment;
  const ScopedEnvironment home("HOME", "/home/me");
  {
    const ScopedEnvironment state("XDG_STATE_HOME", "/var/state/me");
    EXPECT_EQ(platform::UserCopyOfFolder("/opt/harbovale/"),
              "/var/state/me/harbovale-scheduler/opt/harbovale/");
  }
  // Unset, empty or relative: not a place to keep anything.
  for (const std::optional<std::string>& state :
       {std::optional<std::string>(), std::optional<std::string>(""),
        std::optional<std::string>("relative/state")}) {
    const ScopedEnvironment unset("XDG_STATE_HOME", state);
    EXPECT_EQ(platform::UserCopyOfFolder("/opt/harbovale/"),
              "/home/me/.local/state/harbovale-scheduler/opt/harbovale/");
  }
  EXPECT_EQ(platform::UserCopyOfFolder("relative/"), "");
  const ScopedEnvironment noHome("HOME", std::nullopt);
  const ScopedEnvironment noState("XDG_STATE_HOME", std::nullopt);
  EXPECT_EQ(platform::UserCopyOfFolder("/opt/harbovale/"), "");
#endif
}

TEST(MakeFolders, MakesEveryMissingFolderOnTheWayForThisUserAlone) {
  TempFolder folder;
  const char sep = platform::kPathSeparator;
  const std::string deep = folder.Path() + "a" + sep + "b" + sep + "c" + sep;
  ASSERT_TRUE(platform::MakeFolders(deep));
  EXPECT_TRUE(platform::FolderExists(deep));
  EXPECT_TRUE(platform::MakeFolders(deep));  // made already
#ifndef _WIN32
  for (const std::string& made : {folder.Path() + "a", deep}) {
    struct stat status;
    ASSERT_EQ(stat(made.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0700u) << made;
  }
#endif
  folder.Write("file", "x");
  EXPECT_FALSE(platform::MakeFolders(folder.PathOf("file") + sep + "inside" + sep));
}

}  // namespace
