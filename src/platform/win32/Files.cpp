#include "platform/Files.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "foundation/Exception.h"
#include "platform/TextCompare.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/ShortPathCall.h"
#include "platform/win32/Win32Error.h"

namespace platform {

namespace {

constexpr FileCalls kRealFileCalls{CreateFileA, ReadFile,    WriteFile,  FlushFileBuffers,
                                   CloseHandle, MoveFileExA, DeleteFileA};
FileCalls fileCalls = kRealFileCalls;

}  // namespace

FileCalls& SystemFileCalls() { return fileCalls; }
const FileCalls& RealFileCalls() { return kRealFileCalls; }

const char kPathSeparator = '\\';

namespace {

// Nothing: the real call. Constant-initialized, so that a test build may set it before main.
ShortPathCall shortPathCall = nullptr;

// Asks `call` for a UTF-16 text, growing the buffer while the answer does not fit. A call
// that cuts the text without failing answers `size` or more, one that needs more answers
// the size it needs; 0 is a failure.
template <typename Call>
std::wstring WideAnswer(const char* name, Call call) {
  // The longest path Windows has is 32767 UTF-16 units.
  constexpr DWORD kLongestPath = 32767 + 1;
  std::wstring text(MAX_PATH + 1, L'\0');
  for (;;) {
    const DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
    if (length == 0) throw Exception(Win32ErrorText(name, GetLastError()));
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    if (text.size() > kLongestPath)
      throw Exception(std::string(name) + " failed: the program's path is longer than any path");
    text.resize(std::max<std::size_t>(length + 1, text.size() * 2));
  }
}

// `wide` in the system's ANSI code page, as the ANSI calls take it. `exact` tells whether the
// code page writes every character: converted back it must give the same text (not '?' or a
// look-alike in its place).
struct AnsiText {
  std::string text;
  bool exact = true;
};
AnsiText InAnsiCodePage(const std::wstring& wide) {
  AnsiText ansi;
  if (wide.empty()) return ansi;
  const int wideLength = static_cast<int>(wide.size());
  const int size =
      WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  ansi.text.resize(static_cast<std::size_t>(std::max(size, 0)));
  WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, ansi.text.data(), size, nullptr, nullptr);
  std::wstring back(wide.size(), L'\0');
  const int backLength =
      size > 0 ? MultiByteToWideChar(CP_ACP, 0, ansi.text.data(), size, back.data(), wideLength)
               : 0;
  ansi.exact = backLength == wideLength && back == wide;
  return ansi;
}

}  // namespace

ShortPathCall& SystemShortPathCall() { return shortPathCall; }

std::string ExecutablePath() {
  const std::wstring path = WideAnswer("GetModuleFileNameW", [](wchar_t* buffer, DWORD size) {
    return GetModuleFileNameW(nullptr, buffer, size);
  });
  const AnsiText ansi = InAnsiCodePage(path);
  if (ansi.exact) return ansi.text;
  // A folder whose name the code page cannot write: the ANSI path would hold '?' in its
  // place and lead nowhere. Its short name is plain ASCII where the volume keeps short names;
  // where it keeps none, the call gives the long path back.
  const ShortPathCall shortName = shortPathCall ? shortPathCall : GetShortPathNameW;
  std::wstring shortPath;
  try {
    shortPath = WideAnswer("GetShortPathNameW", [&](wchar_t* buffer, DWORD size) {
      return shortName(path.c_str(), buffer, size);
    });
  } catch (const Exception&) {
    // No short name either way.
  }
  const AnsiText shortAnsi = InAnsiCodePage(shortPath);
  if (!shortPath.empty() && shortAnsi.exact) return shortAnsi.text;
  throw Exception("Cannot name the program's folder in the system's code page (" +
                  std::to_string(GetACP()) + "), and it has no short name: " + ansi.text +
                  ". Install the program in a folder whose name that code page can write");
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
  const HANDLE file = calls.createFile(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    // A folder under Program Files refuses a standard user for good. A folder in the
    // temporary file's place is answered with the same error, but is no lack of rights.
    const bool refused = GetLastError() == ERROR_ACCESS_DENIED && !FolderExists(temporary);
    return refused ? SaveOutcome::Refused : SaveOutcome::CannotCreate;
  }
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

std::string UserCopyOfFolder(const std::string& folder) {
  // Only a folder on a drive has a place in the virtual store: "C:\Program Files\Harbovale\"
  // has "<local application data>\VirtualStore\Program Files\Harbovale\".
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (folder.size() < 3 || folder[1] != ':' || !separator(folder[2])) return {};
  char localAppData[MAX_PATH];
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                              localAppData)))
    return {};
  std::string copy = std::string(localAppData) + "\\VirtualStore" + folder.substr(2);
  std::replace(copy.begin(), copy.end(), '/', '\\');
  if (copy.back() != '\\') copy += '\\';
  return copy;
}

bool MakeFolders(const std::string& folder) {
  // From the top down, after the drive: each folder on the way that is missing is made.
  for (std::size_t end = folder.find_first_of("\\/", 3);;
       end = folder.find_first_of("\\/", end + 1)) {
    const std::string part = folder.substr(0, end);
    if (!FolderExists(part) && !CreateDirectoryA(part.c_str(), nullptr) &&
        GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
    if (end == std::string::npos || end + 1 == folder.size()) break;
  }
  return FolderExists(folder);
}

std::string FileNameKey(const std::string& name) { return CaseFoldKey(name); }

}  // namespace platform
