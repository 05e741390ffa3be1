#include "lister/Watch.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

// A terminal whose keys come from a script (nothing: the second passed) and which records
// every screen shown.
class ScriptedTerminal : public platform::LiveTerminal {
 public:
  ScriptedTerminal(std::deque<std::optional<char>> keys, int rows)
      : keys_(std::move(keys)), rows_(rows) {}
  platform::TerminalSize Size() const override { return {rows_, 80}; }
  void Show(const std::vector<std::string>& lines) override { screens.push_back(lines); }
  std::optional<char> WaitForKey(std::chrono::milliseconds timeout) override {
    EXPECT_EQ(timeout.count(), 1000);
    if (keys_.empty()) {
      ADD_FAILURE() << "waited after the end of the script";
      return 'q';
    }
    const std::optional<char> key = keys_.front();
    keys_.pop_front();
    return key;
  }
  std::vector<std::vector<std::string>> screens;

 private:
  std::deque<std::optional<char>> keys_;
  int rows_;
};

TEST(Watch, LooksAgainEverySecondUntilQOrCtrlC) {
  struct Case {
    const char* label;
    std::deque<std::optional<char>> keys;
    int exitCode;
    std::size_t frames;
  } cases[] = {
      {"q at once", {'q'}, 0, 1},
      {"two seconds, then Q", {std::nullopt, std::nullopt, 'Q'}, 0, 3},
      {"another key looks again at once", {' ', 'x', 'q'}, 0, 3},
      {"Ctrl-C", {std::nullopt, platform::kInterruptKey}, kInterruptedExitCode, 2},
  };
  for (const Case& c : cases) {
    ScriptedTerminal terminal(c.keys, 24);
    int looks = 0;
    const int code = Watch(
        terminal, [&] { return std::vector<std::string>{"look " + std::to_string(++looks)}; });
    EXPECT_EQ(code, c.exitCode) << c.label;
    ASSERT_EQ(terminal.screens.size(), c.frames) << c.label;
    EXPECT_EQ(terminal.screens.back(),
              (std::vector<std::string>{WatchTitle(), "", "look " + std::to_string(looks)}))
        << c.label;
  }
}

TEST(Watch, LeavesOutWhatDoesNotFitTheScreen) {
  ScriptedTerminal terminal({'q'}, 4);
  Watch(terminal, [] { return LinesOf("a\nb\nc\nd\n"); });
  EXPECT_EQ(terminal.screens.front(), (std::vector<std::string>{WatchTitle(), "", "a", "b"}));
}

// --watch runs only as the table at the present moment, on a terminal it both writes to
// and reads q from; otherwise the usage error says why.
TEST(Watch, RunsOnlyAsTheTableNowOnATerminalItReadsKeysFrom) {
  struct Case {
    const char* label;
    OutputKind output;
    const char* now;
    bool outputIsTerminal, inputIsTerminal;
    const char* refusal;  // a part of the message; empty: it runs
  } cases[] = {
      {"both streams a terminal", OutputKind::Table, "", true, true, ""},
      {"output to a file or a pipe", OutputKind::Table, "", false, true, "standard output is"},
      {"input from a file, a pipe or /dev/null", OutputKind::Table, "", true, false,
       "standard input is not one, so q cannot be read"},
      {"neither: the output is named first", OutputKind::Table, "", false, false,
       "standard output is"},
      {"another output", OutputKind::Json, "", true, true, "--output=json"},
      {"another moment", OutputKind::Table, "22:00", true, true, "--now"},
  };
  for (const Case& c : cases) {
    ListerOptions options;
    options.watch = true;
    options.output = c.output;
    options.now = c.now;
    const auto refusal = WatchRefusal(options, c.outputIsTerminal, c.inputIsTerminal);
    if (*c.refusal == '\0') {
      EXPECT_FALSE(refusal) << c.label << ": " << refusal.value_or("");
    } else {
      ASSERT_TRUE(refusal) << c.label;
      EXPECT_NE(refusal->find(c.refusal), std::string::npos) << c.label << ": " << *refusal;
    }
  }
}

}  // namespace
