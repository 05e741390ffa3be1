#include "platform/NamedMutex.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/Launcher.h"
#include "platform/TestSupport.h"

namespace {

using testsupport::UniqueName;

class NamedMutexTest : public ::testing::Test {
 protected:
#ifndef _WIN32
  // Lock files go to a folder of this test alone.
  testsupport::ScratchFolder runtime_;
  testsupport::ScopedEnvironment runtimeDir_{"XDG_RUNTIME_DIR", runtime_.Root().string()};
#endif
  const std::string name_ = UniqueName("HarbovaleTest_");
};

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

TEST(NamedMutexFallback, WithoutARuntimeFolderTheLockGoesToTmp) {
  const testsupport::ScopedEnvironment unset("XDG_RUNTIME_DIR", std::nullopt);
  const std::string name = UniqueName("HarbovaleTest_");
  {
    const platform::NamedMutex held(name);
    EXPECT_TRUE(std::filesystem::exists("/tmp/" + name + ".lock"));
    EXPECT_TRUE(platform::SystemMutexProbe().IsHeldElsewhere(name));
  }
  std::filesystem::remove("/tmp/" + name + ".lock");
}
#endif

}  // namespace
