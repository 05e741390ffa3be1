// Files on POSIX. There are no share modes: a file being written by another process can
// still be read, so reading never fails for that reason here.

#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/Exception.h"
#include "platform/posix/FileCalls.h"
#include "platform/posix/RuntimePaths.h"

namespace platform {

namespace {

int OpenFile(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }

constexpr FileCalls kRealFileCalls{OpenFile, ::fstat, ::read,   ::write,
                                   ::fsync,  ::close, ::rename, ::unlink};
FileCalls fileCalls = kRealFileCalls;

}  // namespace

FileCalls& SystemFileCalls() { return fileCalls; }
const FileCalls& RealFileCalls() { return kRealFileCalls; }

const char kPathSeparator = '/';

std::string ExecutablePath() {
  // readlink cuts a link that does not fit without failing: the buffer grows until the
  // path ends before the buffer does.
  std::string path(256, '\0');
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0)
      throw Exception(std::string("Cannot find the program's own path: readlink /proc/self/exe: ") +
                      std::strerror(errno));
    if (static_cast<std::size_t>(length) < path.size()) {
      path.resize(static_cast<std::size_t>(length));
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string FullPath(const std::string& path) {
  char* full = realpath(path.c_str(), nullptr);  // allocated: no limit on the length
  if (full == nullptr) return path;
  std::string result(full);
  std::free(full);
  return result;
}

bool FileExists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

FileContents ReadWholeFile(const std::string& path, ReadSharing) {
  const FileCalls& calls = fileCalls;
  FileContents contents;
  const int fd = calls.open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) return contents;
  struct stat status;
  if (calls.fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
    calls.close(fd);
    return contents;
  }
  char buffer[65536];
  contents.outcome = ReadOutcome::Read;
  for (;;) {
    const ssize_t got = calls.read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got == 0) break;
    if (got < 0) {
      contents = FileContents{ReadOutcome::ReadFailed, {}};
      break;
    }
    contents.bytes.append(buffer, static_cast<std::size_t>(got));
  }
  // Everything has been read or the read has failed already: a failing close of a file
  // opened for reading loses nothing.
  calls.close(fd);
  return contents;
}

namespace {

// The folder part of `path`: up to its last '/', or "." when it has none.
std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The effective user never changes in this program: asked once, not once per job file.
uid_t ThisUser() {
  static const uid_t user = geteuid();
  return user;
}

bool OwnedByThisUserOrRoot(const struct stat& status) {
  return status.st_uid == ThisUser() || status.st_uid == 0;
}

std::string OwnerText(const struct stat& status) {
  return "another user (uid " + std::to_string(status.st_uid) + ")";
}

// The reasons that concern the file itself, from its status (followed through a link).
std::optional<std::string> UnsafeFileReason(mode_t mode, uid_t owner) {
  // A named pipe or a device is no job file that the backup application wrote; opening or
  // reading one may wait for good.
  if (!S_ISREG(mode)) return std::string("it is not a regular file");
  if (owner != ThisUser() && owner != 0)
    return "it belongs to another user (uid " + std::to_string(owner) + ")";
  if (mode & S_IWOTH) return std::string("other users may write it");
  return std::nullopt;
}

}  // namespace

std::optional<std::string> UnsafeToRunReason(const std::string& path, FolderCheck folderCheck) {
  // A link of another user's in a folder that others may write (sticky) leads wherever
  // they chose. The file itself is then looked at as it will be read, through the link.
  struct stat file;
  if (lstat(path.c_str(), &file) != 0) return std::nullopt;
  if (S_ISLNK(file.st_mode)) {
    if (!OwnedByThisUserOrRoot(file)) return "it is a link that belongs to " + OwnerText(file);
    if (stat(path.c_str(), &file) != 0) return std::nullopt;
  }
  if (auto reason = UnsafeFileReason(file.st_mode, file.st_uid)) return reason;
  if (folderCheck == FolderCheck::AlreadyFoundSafe) return std::nullopt;
  return UnsafeFolderReason(path);
}

std::optional<std::string> UnsafeLinkReason(const std::string& path) {
  struct stat link;
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode) || OwnedByThisUserOrRoot(link))
    return std::nullopt;
  return "it is a link that belongs to " + OwnerText(link);
}

std::optional<std::string> UnsafeFolderReason(const std::string& path) {
  return LookAtFolderOf(path).unsafeReason;
}

FolderLook LookAtFolderOf(const std::string& path) {
  // Whoever may write the folder may put another file, or a link to one, in its place.
  FolderLook look;
  struct stat folder;
  if (stat(FolderOf(path).c_str(), &folder) != 0) {
    look.othersMayAddEntries = true;  // not known: each file's link is looked at
    return look;
  }
  // Only the owner (this user, or root) and root may add entries unless the group or
  // others may write it.
  look.othersMayAddEntries = (folder.st_mode & (S_IWGRP | S_IWOTH)) != 0;
  if (!OwnedByThisUserOrRoot(folder))
    look.unsafeReason = "its folder belongs to " + OwnerText(folder);
  else if ((folder.st_mode & S_IWOTH) && !(folder.st_mode & S_ISVTX))
    look.unsafeReason = "other users may write its folder";
  return look;
}

InputFile::InputFile(const std::string& path, ReadSharing)
    : handle_(fileCalls.open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0)) {
  if (handle_ < 0) return;
  // Looked at once, here: the status serves the safety check and tells a folder, which
  // cannot be read as a file, from a file.
  struct stat status;
  if (fileCalls.fstat(static_cast<int>(handle_), &status) != 0 || S_ISDIR(status.st_mode)) {
    fileCalls.close(static_cast<int>(handle_));
    handle_ = -1;
    return;
  }
  mode_ = status.st_mode;
  owner_ = status.st_uid;
}

InputFile::~InputFile() {
  // Opened for reading: a failing close loses nothing.
  if (handle_ >= 0) fileCalls.close(static_cast<int>(handle_));
}

bool InputFile::IsOpen() const { return handle_ >= 0; }

std::optional<std::string> InputFile::UnsafeToRunReason() const {
  if (handle_ < 0) return std::nullopt;
  return UnsafeFileReason(static_cast<mode_t>(mode_), static_cast<uid_t>(owner_));
}

long long InputFile::Read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t got = fileCalls.read(static_cast<int>(handle_), buffer, size);
    if (got >= 0) return got;
    if (errno != EINTR) return -1;
  }
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = fileCalls.write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

}  // namespace

SaveOutcome ReplaceWholeFile(const std::string& path, std::string_view bytes) {
  const FileCalls& calls = fileCalls;
  // A fixed name beside the file: a leftover from an interrupted save is simply overwritten.
  const std::string temporary = path + ".tmp";
  const int fd = calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    // A folder installed by root, or mounted read-only, refuses this user for good.
    const bool refused = errno == EACCES || errno == EPERM || errno == EROFS;
    return refused ? SaveOutcome::Refused : SaveOutcome::CannotCreate;
  }
  const bool written = WriteAll(fd, bytes) && calls.fsync(fd) == 0;
  const bool closed = calls.close(fd) == 0;
  // Removing the temporary file after a failure only tidies up: the file at `path` is
  // untouched either way, and a leftover is overwritten by the next save.
  if (!written || !closed) {
    calls.unlink(temporary.c_str());
    return SaveOutcome::ShortWrite;
  }
  if (calls.rename(temporary.c_str(), path.c_str()) != 0) {
    calls.unlink(temporary.c_str());
    return SaveOutcome::CannotCreate;
  }
  // The rename lives in the folder: until the folder is flushed, a power cut may bring the
  // previous file back. Its failure does not fail the save: the new file is in place, and
  // reporting a failure now would leave a start recorded for a job that is never started.
  const int folder = calls.open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (folder >= 0) {
    calls.fsync(folder);
    calls.close(folder);
  }
  return SaveOutcome::Saved;
}

std::string UserCopyOfFolder(const std::string& folder) {
  if (folder.empty() || folder.front() != '/') return {};
  const std::string states = StateFolder();
  if (states.empty()) return {};
  std::string copy = states + "/harbovale-scheduler" + folder;
  if (copy.back() != '/') copy += '/';
  return copy;
}

bool MakeFolders(const std::string& folder) {
  // From the top down: each folder on the way that is missing is made, for this user alone.
  for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
    const std::string part = folder.substr(0, end);
    if (!FolderExists(part) && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (end == std::string::npos || end + 1 == folder.size()) break;
  }
  return FolderExists(folder);
}

std::string FileNameKey(const std::string& name) { return name; }

}  // namespace platform
