#include "platform/Autostart.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#else
// clang-format off
#include <windows.h>
#include <sddl.h>
// clang-format on
#endif

#include "fakes/ErrorMessage.h"
#include "fakes/TempFolder.h"
#include "foundation/Exception.h"
#include "platform/AutostartRule.h"
#include "platform/AutostartText.h"
#include "platform/Launcher.h"
#include "platform/TestSupport.h"
#ifdef _WIN32
#include "platform/win32/RegistryValues.h"
#endif

namespace {

using testsupport::ReadFile;

#ifndef _WIN32

class XdgAutostartTest : public ::testing::Test {
 protected:
  std::filesystem::path EntryPath() const {
    return config_.Root() / "autostart" / "harbovale-scheduler.desktop";
  }
  void ExpectRefused(const std::string& path) {
    EXPECT_EQ(MessageOf<ERegistryException>(
                  [&] { platform::SystemAutostart().SetValue("Harbovale Scheduler", path); }),
              "Failed to set data for 'Harbovale Scheduler'");
  }

  TempFolder config_;
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
  EXPECT_FALSE(std::filesystem::exists(EntryPath().string() + ".tmp"));
}

// What SetValue did ("registered", "refused" with the registry error, "other error"), run
// in a child process that is no longer root when the tests run as root: file permissions
// never refuse root, and a read-only folder must refuse here. "cannot leave root" when the
// child could not become another user.
std::string SetValueWithoutRoot(const std::string& path) {
  const pid_t child = fork();
  if (child == 0) {
    constexpr uid_t kNobody = 65534;
    if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(3);
    try {
      platform::SystemAutostart().SetValue("Harbovale Scheduler", path);
      _exit(0);
    } catch (const ERegistryException& error) {
      _exit(error.Message() == "Failed to set data for 'Harbovale Scheduler'" ? 1 : 2);
    } catch (...) {
      _exit(2);
    }
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return "other error";
  switch (WEXITSTATUS(status)) {
    case 0:
      return "registered";
    case 1:
      return "refused";
    case 3:
      return "cannot leave root";
    default:
      return "other error";
  }
}

TEST_F(XdgAutostartTest, AReadOnlyFolderIsNoErrorWhenItAlreadyHoldsExactlyTheEntry) {
  using std::filesystem::perms;
  const std::string path = "/opt/my apps/harbovale-scheduler";
  struct Case {
    const char* label;
    std::optional<std::string> entry;
    perms entryPermissions;
    const char* expected;
  };
  const perms readable = perms::owner_read | perms::group_read | perms::others_read;
  const Case cases[] = {
      {"the same entry", platform::DesktopEntryText("Harbovale Scheduler", path), readable,
       "registered"},
      {"the same entry, unreadable", platform::DesktopEntryText("Harbovale Scheduler", path),
       perms::none, "refused"},
      {"an entry for another path", platform::DesktopEntryText("Harbovale Scheduler", "/opt/x"),
       readable, "refused"},
      {"no entry", std::nullopt, readable, "refused"},
  };
  const perms readOnlyFolder = perms::owner_read | perms::owner_exec | perms::group_read |
                               perms::group_exec | perms::others_read | perms::others_exec;
  // The child may not be the folder's owner: it must reach the folder whatever the umask.
  std::filesystem::permissions(config_.Root(), readOnlyFolder | perms::owner_write);
  const std::filesystem::path folder = config_.Root() / "autostart";
  for (const Case& c : cases) {
    std::filesystem::create_directories(folder);
    if (c.entry) {
      std::ofstream(EntryPath(), std::ios::binary) << *c.entry;
      std::filesystem::permissions(EntryPath(), c.entryPermissions);
    }
    std::filesystem::permissions(folder, readOnlyFolder);
    const std::string outcome = SetValueWithoutRoot(path);
    std::filesystem::permissions(folder, perms::owner_all);
    if (outcome == "cannot leave root")
      GTEST_SKIP() << "running as root, and cannot become another user to meet a read-only folder";
    EXPECT_EQ(outcome, c.expected) << c.label;
    if (c.entry) {
      std::filesystem::permissions(EntryPath(), perms::owner_read);
      EXPECT_EQ(ReadFile(EntryPath()), *c.entry) << c.label << ": left as it was";
    }
    EXPECT_FALSE(std::filesystem::exists(EntryPath().string() + ".tmp")) << c.label;
    std::filesystem::remove_all(folder);
  }
}

TEST(XdgAutostartFallback, WithoutConfigHomeTheEntryGoesUnderHome) {
  for (const std::optional<std::string>& unsetOrEmpty :
       {std::optional<std::string>(), std::optional<std::string>("")}) {
    TempFolder home;
    const testsupport::ScopedEnvironment configHome("XDG_CONFIG_HOME", unsetOrEmpty);
    const testsupport::ScopedEnvironment homeDir("HOME", home.Root().string());
    platform::SystemAutostart().SetValue("Harbovale Scheduler", "/opt/x");
    EXPECT_TRUE(
        std::filesystem::exists(home.Root() / ".config/autostart/harbovale-scheduler.desktop"));
  }
}

#else

// The Run value as the system's own reg.exe reads it back.
std::string QueryRunValue(const TempFolder& scratch, const std::string& name) {
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
  TempFolder scratch;
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

// A key of the test's own under HKEY_CURRENT_USER, removed at the end. ReadOnly() narrows its
// rights as log-on narrows a standard user's rights on the Run key: reading only.
class TestKey {
 public:
  TestKey() : path_("Software\\Harbovale Tests\\" + testsupport::UniqueName("key ")) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    if (key != nullptr) RegCloseKey(key);
  }
  ~TestKey() {
    SetRights("D:P(A;;KA;;;WD)");  // its owner may always change its rights
    RegDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
  }
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;

  const std::string& Path() const { return path_; }
  // Stores exactly `bytes`: the system adds a NUL the caller seems to have forgotten (a
  // string whose next byte is NUL), so the next byte here is not one.
  void Set(const std::string& name, DWORD type, const std::string& bytes) {
    const std::string buffer = bytes + 'x';
    EXPECT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, path_.c_str(), name.c_str(), type, buffer.data(),
                              static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }
  void ReadOnly() { SetRights("D:P(A;;KR;;;WD)"); }

 private:
  void SetRights(const char* descriptor) {
    PSECURITY_DESCRIPTOR security = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(descriptor, SDDL_REVISION_1,
                                                                     &security, nullptr));
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
      EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, security), ERROR_SUCCESS);
      RegCloseKey(key);
    }
    LocalFree(security);
  }
  std::string path_;
};

TEST(RegistryValues, ARefusedOpenIsNoErrorWhenTheValueAlreadyHoldsExactlyTheData) {
  const std::string name = "Harbovale Scheduler";
  const std::string data = "\"C:\\Program Files\\Harbovale\\HarbovaleScheduler.exe\"";
  const std::string refused = "Failed to set data for 'Harbovale Scheduler'";
  struct Case {
    const char* label;
    std::optional<std::pair<DWORD, std::string> > stored;  // type and bytes
    const std::string* expected;                           // the error's message; nullptr: no error
  };
  const Case cases[] = {
      {"the same data", std::make_pair(REG_SZ, data + '\0'), nullptr},
      {"another path", std::make_pair(REG_SZ, std::string("C:\\x.exe") + '\0'), &refused},
      {"absent", std::nullopt, &refused},
      {"the same text, expandable", std::make_pair(REG_EXPAND_SZ, data + '\0'), &refused},
      {"the same text without its NUL", std::make_pair(REG_SZ, data), &refused},
  };
  for (const Case& c : cases) {
    TestKey key;
    if (c.stored) key.Set(name, c.stored->first, c.stored->second);
    key.ReadOnly();
    platform::RegistryValues values(HKEY_CURRENT_USER, key.Path());
    const auto write = [&] { platform::WriteRegistration(values, name, data); };
    if (c.expected) {
      EXPECT_EQ(MessageOf<ERegistryException>(write), *c.expected) << c.label;
    } else {
      EXPECT_NO_THROW(write()) << c.label;
    }
  }
}

TEST(RegistryValues, AWritableKeyIsWrittenAndAMissingKeyRefused) {
  const std::string name = "Harbovale Scheduler";
  TestKey key;
  key.Set(name, REG_SZ, std::string("C:\\old.exe") + '\0');
  platform::RegistryValues values(HKEY_CURRENT_USER, key.Path());
  EXPECT_NO_THROW(platform::WriteRegistration(values, name, "C:\\new.exe"));
  EXPECT_EQ(values.Read(name), "C:\\new.exe");

  platform::RegistryValues missing(HKEY_CURRENT_USER, key.Path() + "\\missing");
  EXPECT_EQ(MessageOf<ERegistryException>(
                [&] { platform::WriteRegistration(missing, name, "C:\\new.exe"); }),
            "Failed to set data for 'Harbovale Scheduler'");
}

#endif

}  // namespace
