#include "platform/Autostart.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "foundation/Exception.h"
#include "platform/Launcher.h"
#include "platform/TestSupport.h"

namespace {

using testsupport::ReadFile;

#ifndef _WIN32

class XdgAutostartTest : public ::testing::Test {
 protected:
  std::filesystem::path EntryPath() const {
    return config_.Root() / "autostart" / "harbovale-scheduler.desktop";
  }
  void ExpectRefused(const std::string& path) {
    try {
      platform::SystemAutostart().SetValue("Harbovale Scheduler", path);
      ADD_FAILURE() << "no error raised";
    } catch (const ERegistryException& error) {
      EXPECT_EQ(error.Message(), "Failed to set data for 'Harbovale Scheduler'");
    }
  }

  testsupport::ScratchFolder config_;
  testsupport::ScopedEnvironment configHome_{"XDG_CONFIG_HOME", config_.Root().string()};
};

TEST_F(XdgAutostartTest, WritesTheEntryCreatingTheFolderAndRewritesItOnEachCall) {
  platform::SystemAutostart().SetValue("Harbovale Scheduler", "/opt/first/harbovale-scheduler");
  platform::SystemAutostart().SetValue("Harbovale Scheduler", "/opt/my apps/harbovale-scheduler");
  EXPECT_EQ(ReadFile(EntryPath()),
            "[Desktop Entry]\nType=Application\nName=Harbovale Scheduler\n"
            "Exec=\"/opt/my apps/harbovale-scheduler\"\n");
  // Nothing else is left beside it (no temporary file).
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(config_.Root() / "autostart"),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(XdgAutostartTest, DeleteRemovesTheEntryAndIgnoresAMissingOne) {
  platform::SystemAutostart().SetValue("Harbovale Scheduler", "/opt/x");
  platform::SystemAutostart().DeleteValue("Harbovale Scheduler");
  EXPECT_FALSE(std::filesystem::exists(EntryPath()));
  EXPECT_NO_THROW(platform::SystemAutostart().DeleteValue("Harbovale Scheduler"));
}

TEST_F(XdgAutostartTest, AnAutostartPlaceThatIsNotAFolderRaisesTheRegistryError) {
  std::ofstream(config_.Root() / "autostart") << "not a folder";
  ExpectRefused("/opt/x");
}

TEST_F(XdgAutostartTest, AnEntryThatIsAFolderRaisesTheRegistryErrorAndLeavesNoTemporaryFile) {
  std::filesystem::create_directories(EntryPath() / "inside");
  ExpectRefused("/opt/x");
  EXPECT_FALSE(std::filesystem::exists(EntryPath().string() + ".new"));
}

TEST(XdgAutostartFallback, WithoutConfigHomeTheEntryGoesUnderHome) {
  for (const std::optional<std::string>& unsetOrEmpty :
       {std::optional<std::string>(), std::optional<std::string>("")}) {
    testsupport::ScratchFolder home;
    const testsupport::ScopedEnvironment configHome("XDG_CONFIG_HOME", unsetOrEmpty);
    const testsupport::ScopedEnvironment homeDir("HOME", home.Root().string());
    platform::SystemAutostart().SetValue("Harbovale Scheduler", "/opt/x");
    EXPECT_TRUE(
        std::filesystem::exists(home.Root() / ".config/autostart/harbovale-scheduler.desktop"));
  }
}

#else

// The Run value as the system's own reg.exe reads it back.
std::string QueryRunValue(const testsupport::ScratchFolder& scratch, const std::string& name) {
  const std::string out = scratch.PathOf("query.txt");
  platform::SystemLauncher().Start(
      "cmd /c reg query \"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" /v \"" + name +
      "\" > \"" + out + ".part\" 2>&1 & move /y \"" + out + ".part\" \"" + out + "\"");
  EXPECT_TRUE(testsupport::WaitFor([&] { return std::filesystem::exists(out); }));
  testsupport::WaitFor([&] { return ReadFile(out).has_value(); });
  const std::string text = ReadFile(out).value_or("");
  std::filesystem::remove(out);
  return text;
}

TEST(RegistryAutostart, WritesQuotedOrPlainPathAndDeletes) {
  testsupport::ScratchFolder scratch;
  const std::string name = testsupport::UniqueName("Harbovale Test ");
  auto& autostart = platform::SystemAutostart();
  autostart.SetValue(name, "C:\\Apps\\Sched\\x.exe");
  EXPECT_NE(QueryRunValue(scratch, name).find("REG_SZ    C:\\Apps\\Sched\\x.exe"),
            std::string::npos);
  autostart.SetValue(name, "C:\\Program Files\\Sched\\x.exe");
  EXPECT_NE(QueryRunValue(scratch, name).find("REG_SZ    \"C:\\Program Files\\Sched\\x.exe\""),
            std::string::npos);
  autostart.DeleteValue(name);
  EXPECT_EQ(QueryRunValue(scratch, name).find("REG_SZ"), std::string::npos);
  EXPECT_NO_THROW(autostart.DeleteValue(name));
}

#endif

}  // namespace
