#include "platform/Launcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakes/TempFolder.h"
#include "platform/AppShell.h"
#include "platform/NamedMutex.h"
#include "platform/TestSupport.h"

namespace {

using testsupport::ReadFile;
using testsupport::WaitFor;

// The command writes into `<name>.part` and renames it, so a file that exists is complete.
#ifdef _WIN32
std::string WriteCommand(const std::string& body, const std::string& out) {
  return "cmd /c " + body + "> \"" + out + ".part\" & move /y \"" + out + ".part\" \"" + out + "\"";
}
#else
std::string WriteCommand(const std::string& body, const std::string& out) {
  return "{ " + body + "; } > '" + out + ".part'; mv '" + out + ".part' '" + out + "'";
}
#endif

TEST(Launcher, StartsTheCommandLineWithoutWaitingForIt) {
  TempFolder scratch;
  const std::string out = scratch.PathOf("started.txt");
  platform::SystemLauncher().Start(WriteCommand("echo started", out));
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(out); }));
  EXPECT_EQ(ReadFile(out).value_or("").substr(0, 7), "started");
}

TEST(Launcher, AFailingCommandIsNotReported) {
  EXPECT_NO_THROW(platform::SystemLauncher().Start("no-such-program-of-harbovale --x"));
}

#ifndef _WIN32

// Fields of /proc/<pid>/stat after the command name: state, parent, group, session...
std::vector<std::string> StatFields(const std::string& pid) {
  const std::string stat = ReadFile("/proc/" + pid + "/stat").value_or("");
  std::istringstream rest(stat.substr(stat.rfind(')') + 1));
  std::vector<std::string> fields;
  for (std::string field; rest >> field;) fields.push_back(field);
  return fields;
}

std::string OwnPid() { return std::filesystem::read_symlink("/proc/self").string(); }

std::vector<std::string> ChildrenOf(const std::string& parent) {
  std::vector<std::string> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string pid = entry.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    const auto fields = StatFields(pid);
    if (fields.size() > 1 && fields[1] == parent) children.push_back(pid);
  }
  return children;
}

TEST(Launcher, TheCommandRunsDetachedAndLeavesNoChildBehind) {
  TempFolder scratch;
  const std::string out = scratch.PathOf("pid.txt");
  const std::string hold = scratch.PathOf("hold");
  std::ofstream(hold) << "";
  // The command stays alive while the hold file exists (the scratch folder goes at the end).
  platform::SystemLauncher().Start(WriteCommand("echo $$", out) + "; while [ -e '" + hold +
                                   "' ]; do sleep 0.05; done");
  // Start has returned: neither the command nor an unreaped helper is our child.
  EXPECT_TRUE(ChildrenOf(OwnPid()).empty());
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(out); }));
  std::string commandPid = ReadFile(out).value_or("");
  commandPid.erase(commandPid.find_last_not_of('\n') + 1);
  const auto fields = StatFields(commandPid);
  ASSERT_GT(fields.size(), 3u);
  EXPECT_NE(fields[1], OwnPid());
  EXPECT_NE(fields[3], StatFields(OwnPid())[3]) << "runs in a session of its own";
  std::filesystem::remove(hold);
}

// Whether the "SigIgn:" line of a /proc/<pid>/status text has SIGPIPE (13) in its mask.
bool IgnoresSigpipe(const std::string& status) {
  const std::size_t at = status.find("SigIgn:\t");
  if (at == std::string::npos) return false;
  return (std::stoull(status.substr(at + 8, 16), nullptr, 16) >> (13 - 1)) & 1;
}

TEST(Launcher, TheCommandGetsNeitherTheSchedulersSignalSettingsNorItsLocks) {
  TempFolder scratch;
  const testsupport::ScopedEnvironment runtime("XDG_RUNTIME_DIR", scratch.Root().string());
  // Blocks SIGTERM, SIGINT and SIGHUP, and ignores SIGPIPE.
  const auto shell = platform::CreateAppShell();
  ASSERT_TRUE(IgnoresSigpipe(ReadFile("/proc/self/status").value_or("")));
  const platform::NamedMutex instance("HarbovaleLauncherTest");
  const std::string out = scratch.PathOf("state.txt");
  platform::SystemLauncher().Start(
      WriteCommand("grep -E 'SigBlk|SigIgn' /proc/self/status; ls -l /proc/$$/fd/", out));
  ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(out); }));
  const std::string state = ReadFile(out).value_or("");
  EXPECT_NE(state.find("SigBlk:\t0000000000000000"), std::string::npos) << state;
  EXPECT_FALSE(IgnoresSigpipe(state)) << "a pipeline in the command must end as usual\n" << state;
  EXPECT_EQ(state.find(".lock"), std::string::npos) << state;
}

#endif

}  // namespace
