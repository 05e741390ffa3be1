#include "foundation/TStringList.h"

#include <algorithm>

#include "foundation/Exception.h"
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

bool NeedsQuotes(const std::string& line) {
  for (const char c : line) {
    if (c == '\0') break;  // the text of a line ends at its first NUL
    if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') return true;
  }
  return false;
}

std::string Quoted(const std::string& line) {
  std::string quoted = "\"";
  for (const char c : line) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

}  // namespace

std::string TStrings::CommaJoined() const {
  if (LineCount() == 1 && LineRef(0).empty()) return "\"\"";
  std::string text;
  for (int i = 0; i < LineCount(); ++i) {
    const std::string& line = LineRef(i);
    if (i > 0) text += ',';
    text += NeedsQuotes(line) ? Quoted(line) : line;
  }
  return text;
}

void TStrings::LoadLines(const std::string& path, platform::ReadSharing sharing) {
  const platform::FileContents contents = platform::ReadWholeFile(path, sharing);
  switch (contents.outcome) {
    case platform::ReadOutcome::Read:
      break;
    case platform::ReadOutcome::CannotOpen:
      throw EFOpenError("Cannot open file " + path);
    case platform::ReadOutcome::ReadFailed:
      throw EReadError("Stream read error");
  }
  RemoveAll();
  const std::string& text = contents.bytes;
  const std::size_t end = std::min(text.find('\0'), text.size());
  std::size_t pos = 0;
  while (pos < end) {
    std::size_t stop = pos;
    while (stop < end && text[stop] != '\r' && text[stop] != '\n') ++stop;
    Append(text.substr(pos, stop - pos));
    pos = stop;
    if (pos < end && text[pos] == '\r') ++pos;
    if (pos < end && text[pos] == '\n') ++pos;
  }
}

void TStrings::SaveLines(const std::string& path) const {
  std::string text;
  for (int i = 0; i < LineCount(); ++i) {
    text += LineRef(i);
    text += "\r\n";
  }
  switch (platform::ReplaceWholeFile(path, text)) {
    case platform::SaveOutcome::Saved:
      return;
    case platform::SaveOutcome::CannotCreate:
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

void TStringList::RemoveAll() {
  lines_.clear();
  Changed();
}

std::uint64_t TStringList::NewGeneration() {
  static std::uint64_t lastGeneration = 0;  // one thread: no lock
  return ++lastGeneration;
}
