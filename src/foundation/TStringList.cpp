#include "foundation/TStringList.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/Exception.h"
#include "foundation/LineSearch.h"
#include "foundation/PaddedBuffer.h"
#include "platform/Files.h"
#include "platform/TextCompare.h"

void TStrings::IndexError(int index) {
  throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

int TStrings::FindName(std::string_view name) const {
  for (int i = 0; i < LineCount(); ++i) {
    const std::string& line = LineRef(i);
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    if (platform::SameTextIgnoringCase(std::string_view(line).substr(0, equals), name)) return i;
  }
  return -1;
}

std::string TStrings::ValueOf(std::string_view name) const {
  const int index = FindName(name);
  return index < 0 ? std::string() : ValueAt(index, name);
}

std::string TStrings::ValueAt(int index, std::string_view name) const {
  // The value starts after as many characters as the name asked for, and its '='.
  const std::string& line = LineRef(index);
  const std::size_t start = name.size() + 1;
  return start < line.size() ? line.substr(start) : std::string();
}

void TStrings::SetValueOf(std::string_view name, std::string_view value) {
  int index = FindName(name);
  if (value.empty()) {
    if (index >= 0) RemoveLine(index);
    return;
  }
  std::string line = std::string(name) + '=' + std::string(value);
  if (index < 0)
    Append(std::move(line));
  else
    ReplaceLine(index, std::move(line));
}

namespace {

void AppendQuoted(std::string& text, std::string_view line) {
  text += '"';
  for (std::size_t quote; (quote = line.find('"')) != std::string_view::npos;) {
    text.append(line.substr(0, quote + 1)) += '"';  // a quote is written twice
    line.remove_prefix(quote + 1);
  }
  text.append(line) += '"';
}

}  // namespace

std::string TStrings::CommaJoined() const {
  if (LineCount() == 1 && LineRef(0).empty()) return "\"\"";
  std::size_t length = 0;
  for (int i = 0; i < LineCount(); ++i) length += LineRef(i).size() + 3;  // ',' and quotes
  std::string text;
  text.reserve(length);
  for (int i = 0; i < LineCount(); ++i) {
    const std::string& line = LineRef(i);
    if (i > 0) text += ',';
    if (linesearch::NeedsQuotes(line))
      AppendQuoted(text, line);
    else
      text += line;
  }
  return text;
}

namespace {

// The lines of a file's bytes: CR LF, a lone CR or a lone LF ends a line, and a NUL ends the
// text. Each call gives the next line; false after the last.
// LoadLine below splits by the same rules a second way, on purpose: it reads a job file in
// fixed pieces and no further than the line it wants, on every rebuild, where this one has a
// whole small file (the store) in hand. The tests and the fuzz target hold the two to each
// other.
class LinesOf {
 public:
  explicit LinesOf(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

  bool Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const std::size_t stop = EndOfLine();
    line = text_.substr(pos_, stop - pos_);
    pos_ = stop;
    if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
    if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return true;
  }

 private:
  // The first CR or LF from pos_ on, or the end. Job files are read whole on every tick while
  // the backup application runs.
  std::size_t EndOfLine() const { return linesearch::FirstBreak(text_, pos_); }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

namespace {

// The bytes of the file, or the error that loading it raises.
std::string FileBytes(const std::string& path, platform::ReadSharing sharing) {
  platform::FileContents contents = platform::ReadWholeFile(path, sharing);
  switch (contents.outcome) {
    case platform::ReadOutcome::Read:
      break;
    case platform::ReadOutcome::CannotOpen:
      throw EFOpenError("Cannot open file " + path);
    case platform::ReadOutcome::ReadFailed:
      throw EReadError("Stream read error");
  }
  return std::move(contents.bytes);
}

}  // namespace

void TStrings::LoadLines(const std::string& path, platform::ReadSharing sharing) {
  const std::string bytes = FileBytes(path, sharing);
  RemoveAll();
  LinesOf lines(bytes);
  std::string_view line;
  while (lines.Next(line)) Append(std::string(line));
}

std::string TStrings::LoadLine(const std::string& path, int index) {
  platform::InputFile file(path);
  if (!file.IsOpen()) throw EFOpenError("Cannot open file " + path);
  return LoadLine(file, index);
}

std::string TStrings::LoadLine(platform::InputFile& file, int index) {
  // The rules of LinesOf, a piece at a time: CR, LF or CR LF ends a line (the LF of a CR LF
  // may come with the next piece), a NUL ends the text as the end of the file does, and a
  // last line without a break counts only when it holds something.
  linesearch::PaddedBuffer<16384> buffer;
  std::string line;          // the bytes of line `index` so far
  int current = 0;           // the line that the bytes from `at` on belong to
  bool lineStarted = false;  // the current line has bytes in earlier pieces
  bool afterCR = false;      // the last piece ended with the CR of a break
  for (;;) {
    const long long got = file.Read(buffer.Room(), buffer.RoomSize());
    if (got < 0) throw EReadError("Stream read error");
    if (got == 0) break;
    const linesearch::PaddedBytes bytes = buffer.Filled(static_cast<std::size_t>(got));
    const char* at = bytes.begin();
    const char* const end = bytes.end();
    if (afterCR && *at == '\n') ++at;
    afterCR = false;
    for (const char* block = bytes.begin(); block < end; block += linesearch::kBlock) {
      for (std::uint64_t stops = linesearch::StopsIn(bytes, block); stops != 0;
           stops &= stops - 1) {
        const char* const stop = block + std::countr_zero(stops);
        if (stop < at) continue;  // the LF of a CR LF, taken with its CR
        lineStarted = lineStarted || stop != at;
        if (*stop == '\0') {
          if (current == index && lineStarted) return line.append(at, stop);
          IndexError(index);
        }
        if (current == index) return line.append(at, stop);
        ++current;
        lineStarted = false;
        at = stop + 1;
        if (*stop == '\r') {
          if (at == end)
            afterCR = true;
          else if (*at == '\n')
            ++at;
        }
      }
    }
    if (at != end) {
      if (current == index) line.append(at, end);
      lineStarted = true;
    }
  }
  if (current == index && lineStarted) return line;
  IndexError(index);
}

void TStrings::SaveLines(const std::string& path) const {
  RaiseSaveError(TrySaveLines(path), path);
}

platform::SaveOutcome TStrings::TrySaveLines(const std::string& path) const {
  std::string text;
  for (int i = 0; i < LineCount(); ++i) {
    text += LineRef(i);
    text += "\r\n";
  }
  return platform::ReplaceWholeFile(path, text);
}

void TStrings::RaiseSaveError(platform::SaveOutcome outcome, const std::string& path) {
  switch (outcome) {
    case platform::SaveOutcome::Saved:
      return;
    case platform::SaveOutcome::CannotCreate:
    case platform::SaveOutcome::Refused:
      throw EFCreateError("Cannot create file " + path);
    case platform::SaveOutcome::ShortWrite:
      throw EWriteError("Stream write error");
  }
}

const std::string& TStringList::LineRef(int index) const {
  if (index < 0 || index >= LineCount()) IndexError(index);
  return lines_[static_cast<std::size_t>(index)];
}

void TStringList::ReplaceLine(int index, std::string text) {
  if (index < 0 || index >= LineCount()) IndexError(index);
  lines_[static_cast<std::size_t>(index)] = std::move(text);
  Changed();
}

void TStringList::RemoveLine(int index) {
  if (index < 0 || index >= LineCount()) IndexError(index);
  lines_.erase(lines_.begin() + index);
  Changed();
}

int TStringList::Append(std::string line) {
  lines_.push_back(std::move(line));
  Changed();
  return LineCount() - 1;
}

void TStringList::TakeLines(TStringList& other) {
  lines_ = std::move(other.lines_);
  other.lines_.clear();
  Changed();
  other.Changed();
}

void TStringList::RemoveAll() {
  lines_.clear();
  Changed();
}

std::uint64_t TStringList::NewGeneration() {
  static std::uint64_t lastGeneration = 0;  // one thread: no lock
  return ++lastGeneration;
}
