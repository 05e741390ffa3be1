#include "platform/Files.h"

#include <windows.h>

#include "foundation/Exception.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/Win32Error.h"

namespace platform {

namespace {

constexpr FileCalls kRealFileCalls{CreateFileA,      ReadFile,    WriteFile,  FlushFileBuffers,
                                   CloseHandle,      MoveFileExA, DeleteFileA};
FileCalls fileCalls = kRealFileCalls;

}  // namespace

FileCalls& SystemFileCalls() { return fileCalls; }
const FileCalls& RealFileCalls() { return kRealFileCalls; }

const char kPathSeparator = '\\';

std::string ExecutablePath() {
  // GetModuleFileNameA cuts a path that does not fit without failing: the buffer grows until
  // the path ends before the buffer does. The longest path Windows has is 32767 UTF-16 units,
  // at most twice as many bytes in a double-byte code page.
  constexpr std::size_t kLongestPath = 2 * 32767 + 1;
  std::string path(MAX_PATH + 1, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) throw Exception(Win32ErrorText("GetModuleFileNameA", GetLastError()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() > kLongestPath)
      throw Exception("GetModuleFileNameA failed: the program's path is longer than any path");
    path.resize(path.size() * 2);
  }
}

std::string FullPath(const std::string& path) {
  char buffer[MAX_PATH + 1];
  const DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : path;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

FileContents ReadWholeFile(const std::string& path, ReadSharing sharing) {
  const FileCalls& calls = fileCalls;
  FileContents contents;
  // ReadersOnly: others may read meanwhile; a file open elsewhere for writing cannot be
  // opened. Everyone: a save that replaces the file meanwhile goes ahead.
  const DWORD share = sharing == ReadSharing::Everyone
                          ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                          : FILE_SHARE_READ;
  const HANDLE file = calls.createFile(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return contents;
  char buffer[65536];
  contents.outcome = ReadOutcome::Read;
  for (;;) {
    DWORD got = 0;
    if (!calls.readFile(file, buffer, sizeof buffer, &got, nullptr)) {
      contents = FileContents{ReadOutcome::ReadFailed, {}};
      break;
    }
    if (got == 0) break;  // the end of the file
    contents.bytes.append(buffer, got);
  }
  // Everything has been read or the read has failed already: a failing close of a file
  // opened for reading loses nothing.
  calls.closeHandle(file);
  return contents;
}

std::optional<std::string> UnsafeToRunReason(const std::string&, FolderCheck) {
  return std::nullopt;
}

std::optional<std::string> UnsafeFolderReason(const std::string&) { return std::nullopt; }
std::optional<std::string> UnsafeLinkReason(const std::string&) { return std::nullopt; }
FolderLook LookAtFolderOf(const std::string&) { return {}; }

namespace {

HANDLE HandleOf(long long value) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(value)); }

}  // namespace

InputFile::InputFile(const std::string& path, ReadSharing sharing) {
  const DWORD share = sharing == ReadSharing::Everyone
                          ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                          : FILE_SHARE_READ;
  const HANDLE file = fileCalls.createFile(path.c_str(), GENERIC_READ, share, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  handle_ = file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(file);
}

InputFile::~InputFile() {
  // Opened for reading: a failing close loses nothing.
  if (handle_ != -1) fileCalls.closeHandle(HandleOf(handle_));
}

bool InputFile::IsOpen() const { return handle_ != -1; }

std::optional<std::string> InputFile::UnsafeToRunReason() const { return std::nullopt; }

long long InputFile::Read(char* buffer, std::size_t size) {
  DWORD got = 0;
  const DWORD asked = size > 0x7fffffff ? 0x7fffffff : static_cast<DWORD>(size);
  if (!fileCalls.readFile(HandleOf(handle_), buffer, asked, &got, nullptr))
    return -1;
  return got;
}

SaveOutcome ReplaceWholeFile(const std::string& path, std::string_view bytes) {
  const FileCalls& calls = fileCalls;
  // A fixed name beside the file: a leftover from an interrupted save is simply overwritten.
  const std::string temporary = path + ".tmp";
  const HANDLE file = calls.createFile(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SaveOutcome::CannotCreate;
  DWORD put = 0;
  const bool written =
      bytes.empty() ||
      (calls.writeFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
       put == bytes.size());
  const bool flushed = written && calls.flushFileBuffers(file);
  const bool closed = calls.closeHandle(file);
  // Removing the temporary file after a failure only tidies up: the file at `path` is
  // untouched either way, and a leftover is overwritten by the next save.
  if (!flushed || !closed) {
    calls.deleteFile(temporary.c_str());
    return SaveOutcome::ShortWrite;
  }
  if (!calls.moveFileEx(temporary.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    calls.deleteFile(temporary.c_str());
    return SaveOutcome::CannotCreate;
  }
  return SaveOutcome::Saved;
}

}  // namespace platform
