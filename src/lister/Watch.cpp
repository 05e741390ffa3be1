#include "lister/Watch.h"

#include <algorithm>
#include <chrono>
#include <optional>

std::string WatchTitle() { return "Every second; q or Ctrl-C quits."; }

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

int Watch(platform::LiveTerminal& terminal,
          const std::function<std::vector<std::string>()>& frame) {
  using namespace std::chrono_literals;
  for (;;) {
    std::vector<std::string> lines{WatchTitle(), ""};
    for (std::string& line : frame()) lines.push_back(std::move(line));
    const auto rows = static_cast<std::size_t>(std::max(1, terminal.Size().rows));
    if (lines.size() > rows) lines.resize(rows);
    terminal.Show(lines);
    const std::optional<char> key = terminal.WaitForKey(1000ms);
    if (key == 'q' || key == 'Q') return 0;
    if (key == platform::kInterruptKey) return kInterruptedExitCode;
  }
}
