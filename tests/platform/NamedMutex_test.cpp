#include "platform/NamedMutex.h"

#include <gtest/gtest.h>

#include <memory>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <optional>

#include "platform/posix/RuntimePaths.h"
#endif

#include "fakes/TempFolder.h"
#include "platform/Launcher.h"
#include "platform/MutexFixture.h"
#include "platform/TestSupport.h"

namespace {

using testsupport::UniqueName;

class NamedMutexTest : public MutexFixture {};

TEST_F(NamedMutexTest, SecondOfTheSameNameFindsTheFirstUntilItIsDestroyed) {
  auto first = std::make_unique<platform::NamedMutex>(name_);
  EXPECT_FALSE(first->AlreadyExisted());
  {
    const platform::NamedMutex second(name_);
    EXPECT_TRUE(second.AlreadyExisted());
  }
  // The second one's release does not release the first.
  EXPECT_TRUE(platform::NamedMutex(name_).AlreadyExisted());
  first.reset();
  EXPECT_FALSE(platform::NamedMutex(name_).AlreadyExisted());
}

TEST_F(NamedMutexTest, NamesAreIndependent) {
  const platform::NamedMutex held(name_);
  EXPECT_FALSE(platform::NamedMutex(name_ + "_other").AlreadyExisted());
}

TEST_F(NamedMutexTest, ProbeSeesAHeldMutexAndHoldsNothingItself) {
  auto& probe = platform::SystemMutexProbe();
  EXPECT_FALSE(probe.IsHeldElsewhere(name_));
  // A probe that kept its mutex would make the next probe, or the real owner, see it.
  EXPECT_FALSE(probe.IsHeldElsewhere(name_));
  {
    const platform::NamedMutex held(name_);
    EXPECT_TRUE(probe.IsHeldElsewhere(name_));
    EXPECT_TRUE(probe.IsHeldElsewhere(name_));
  }
  EXPECT_FALSE(probe.IsHeldElsewhere(name_));
  EXPECT_FALSE(platform::NamedMutex(name_).AlreadyExisted());
}

#ifndef _WIN32
TEST_F(NamedMutexTest, LockFileLivesInTheRuntimeFolderAndAnotherProcessSeesTheLock) {
  const std::string lockFile = runtime_.PathOf(name_ + ".lock");
  const std::string verdict = runtime_.PathOf("verdict");
  const platform::NamedMutex held(name_);
  ASSERT_TRUE(std::filesystem::exists(lockFile));
  platform::SystemLauncher().Start("flock -n '" + lockFile + "' true && echo free > '" + verdict +
                                   "' || echo held > '" + verdict + "'");
  ASSERT_TRUE(
      testsupport::WaitFor([&] { return testsupport::ReadFile(verdict).value_or("") != ""; }));
  EXPECT_EQ(testsupport::ReadFile(verdict), "held\n");
}

TEST_F(NamedMutexTest, ANameWithASlashStaysInTheRuntimeFolder) {
  const platform::NamedMutex held("Global/" + name_);
  EXPECT_TRUE(std::filesystem::exists(runtime_.PathOf("Global_" + name_ + ".lock")));
  EXPECT_TRUE(platform::NamedMutex("Global/" + name_).AlreadyExisted());
}

TEST(NamedMutexFallback, WithoutARuntimeFolderTheLockGoesToAPrivateFolderOfTheUserInTmp) {
  const testsupport::ScopedEnvironment unset("XDG_RUNTIME_DIR", std::nullopt);
  const std::string folder = "/tmp/harbovale-" + std::to_string(geteuid());
  const std::string name = UniqueName("HarbovaleTest_");
  {
    const platform::NamedMutex held(name);
    const std::string lockFile = folder + "/" + name + ".lock";
    struct stat status {};
    ASSERT_EQ(stat(lockFile.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_TRUE(platform::SystemMutexProbe().IsHeldElsewhere(name));
    EXPECT_FALSE(std::filesystem::exists("/tmp/" + name + ".lock"));
    std::filesystem::remove(lockFile);
  }
  struct stat status {};
  ASSERT_EQ(lstat(folder.c_str(), &status), 0);
  EXPECT_TRUE(S_ISDIR(status.st_mode));
  EXPECT_EQ(status.st_mode & 0777, 0700u);
}

// The lock folder in /tmp is used only while it is a folder of the user's that nobody else
// may enter; otherwise another user could hold the scheduler's locks.
TEST(PrivateFolder, IsMadeForTheUserAloneAndRefusedWhenOthersCouldReachIt) {
  TempFolder scratch;
  const std::string privateOne = scratch.PathOf("private");
  ASSERT_EQ(mkdir(privateOne.c_str(), 0700), 0);
  struct Case {
    const char* label;
    std::function<void(const std::string&)> make;  // puts something at the path, or not
    bool accepted;
  };
  const auto folderWithMode = [](mode_t mode) {
    return [mode](const std::string& path) {
      ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
      ASSERT_EQ(chmod(path.c_str(), mode), 0);
    };
  };
  const Case cases[] = {
      {"missing: made", [](const std::string&) {}, true},
      {"the user's own, mode 0700", folderWithMode(0700), true},
      {"the group may enter", folderWithMode(0710), false},
      {"others may read", folderWithMode(0704), false},
      {"others may write (sticky)", folderWithMode(01703), false},
      {"a file", [](const std::string& path) { std::ofstream(path).put('x'); }, false},
      {"a link to a private folder of the user's",
       [&](const std::string& path) { ASSERT_EQ(symlink(privateOne.c_str(), path.c_str()), 0); },
       false},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = scratch.PathOf("case" + std::to_string(number++));
    c.make(path);
    EXPECT_EQ(platform::PrivateFolder(path), c.accepted ? std::optional(path) : std::nullopt);
    if (c.accepted) {
      struct stat status {};
      ASSERT_EQ(stat(path.c_str(), &status), 0);
      EXPECT_EQ(status.st_mode & 0777, 0700u);
    }
  }
  EXPECT_EQ(platform::PrivateFolder(scratch.PathOf("no-such/folder")), std::nullopt);
}

TEST(PrivateFolder, IsRefusedWhenItBelongsToAnotherUser) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  TempFolder scratch;
  const std::string othersOne = scratch.PathOf("another-users");
  ASSERT_EQ(mkdir(othersOne.c_str(), 0700), 0);
  ASSERT_EQ(chown(othersOne.c_str(), 1, 1), 0);
  EXPECT_EQ(platform::PrivateFolder(othersOne), std::nullopt);
}
#endif

}  // namespace
