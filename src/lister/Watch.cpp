#include "lister/Watch.h"

#include <algorithm>
#include <chrono>
#include <optional>

std::string WatchTitle() { return "Every second; q or Ctrl-C quits."; }

std::optional<std::string> WatchRefusal(const ListerOptions& options, bool outputIsTerminal,
                                        bool inputIsTerminal) {
  if (options.output != OutputKind::Table)
    return "--watch shows the table: it cannot be combined with --output=" +
           std::string(options.output == OutputKind::Json ? "json" : "list");
  if (!options.now.empty())
    return "--watch shows the present moment: it cannot be combined with --now";
  if (!outputIsTerminal)
    return "--watch needs a terminal: standard output is a file or a pipe (leave out --watch "
           "to write the table there)";
  // Without the keys, nothing but a signal would end the view, and the terminal would be
  // left as the view had set it.
  if (!inputIsTerminal)
    return "--watch needs a terminal: standard input is not one, so q cannot be read (leave "
           "out --watch to write the table once)";
  return std::nullopt;
}

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
