// Files of lines from arbitrary bytes: every byte string loads as some lines, none of which
// holds a line break or NUL, and saving those lines then loading them gives them back.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzCheck.h"
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
