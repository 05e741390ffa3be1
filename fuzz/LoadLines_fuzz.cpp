// Files of lines from arbitrary bytes: every byte string loads as some lines, none of which
// holds a line break or NUL, and saving those lines then loading them gives them back. Each
// line read alone (LoadLine) is that line, and one past the last is out of bounds as in the
// list; the fast searches for line ends find what their scalar twins find.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "foundation/Exception.h"
#include "foundation/LineSearch.h"
#include "foundation/PaddedBuffer.h"
#include "foundation/TStringList.h"

namespace {

namespace fs = std::filesystem;

// Saving flushes each file to disk; in memory (/dev/shm) that costs nothing, so the
// fuzzer keeps its pace. The folder's path is never freed, so the exit handler that removes
// the folder can still name it after the static objects are gone.
const fs::path& Scratch() {
  static const fs::path* const folder = [] {
    std::error_code error;
    const fs::path base = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm")
                                                              : fs::temp_directory_path();
    auto* path = new fs::path(base / ("harbovale-fuzz-" + std::to_string(getpid())));
    fs::create_directories(*path);
    return path;
  }();
  static const bool removedAtExit = [] {
    return std::atexit([] {
      std::error_code ignored;
      fs::remove_all(*folder, ignored);
    }) == 0;
  }();
  (void)removedAtExit;
  return *folder;
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The reading rules, written out the long way: CR LF, a lone CR or a lone LF ends a line, a
// final break adds no empty line, and a NUL ends the text.
std::vector<std::string> ExpectedLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  bool open = false;
  for (std::size_t i = 0; i < bytes.size() && bytes[i] != '\0'; ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      open = false;
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      line += c;
      open = true;
    }
  }
  if (open) lines.push_back(line);
  return lines;
}

// LoadLine reads in pieces and searches them a block at a time: from the start of every block
// and of every line of the first piece (and every place of the first blocks), the searches
// agree with their scalar twins.
void CheckSearches(const std::string& bytes) {
  static linesearch::PaddedBuffer<1 << 16> buffer;  // static: kept off the stack
  const std::string_view piece = std::string_view(bytes).substr(0, buffer.RoomSize());
  std::copy(piece.begin(), piece.end(), buffer.Room());
  const linesearch::PaddedBytes padded = buffer.Filled(piece.size());
  for (std::size_t from = 0; from <= piece.size(); ++from) {
    const bool lineStart = from == 0 || piece[from - 1] == '\r' || piece[from - 1] == '\n';
    if (from < 3 * linesearch::kBlock || lineStart) {
      FUZZ_CHECK(linesearch::FirstBreak(piece, from) == linesearch::FirstBreakScalar(piece, from));
    }
    const char* const block = padded.begin() + from;
    FUZZ_CHECK(linesearch::StopsIn(padded, block) == linesearch::StopsInScalar(padded, block));
  }
}

// Line `index` read alone raises the list's error for an index outside it.
bool RaisesOutOfBounds(const std::string& path, int index) {
  try {
    TStrings::LoadLine(path, index);
  } catch (const EStringListError& e) {
    return e.Message() == "List index out of bounds (" + std::to_string(index) + ")";
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const fs::path source = Scratch() / "source.txt";
  const fs::path saved = Scratch() / "saved.txt";
  WriteBytes(source, bytes);

  TStringList list;
  list.Append("earlier line");
  list.LoadLines(source.string());
  const auto& lines = list.Lines();
  FUZZ_CHECK(lines == ExpectedLines(bytes));
  CheckSearches(bytes);
  const int count = list.LineCount();
  for (int i = 0; i < count; ++i) FUZZ_CHECK(TStrings::LoadLine(source.string(), i) == lines[i]);
  FUZZ_CHECK(RaisesOutOfBounds(source.string(), count));
  FUZZ_CHECK(RaisesOutOfBounds(source.string(), -1));
  std::string written;
  for (const auto& line : lines) {
    FUZZ_CHECK(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
    written += line + "\r\n";
  }

  list.SaveLines(saved.string());
  FUZZ_CHECK(ReadBytes(saved) == written);
  TStringList again;
  again.LoadLines(saved.string());
  FUZZ_CHECK(again.Lines() == lines);
  return 0;
}
