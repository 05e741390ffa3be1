// The file backend when the system fails it after the file was opened: a failing disk or a
// share that drops in the middle of a read, a full disk while writing.

#include "platform/Files.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace

#ifndef _WIN32
#include <cerrno>

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

}  // namespace
#endif
