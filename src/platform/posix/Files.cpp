// Files on POSIX. There are no share modes: a file being written by another process can
// still be read, so reading never fails for that reason here.

#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "foundation/Exception.h"

namespace platform {

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

bool FileExists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat status;
  if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
    close(fd);
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  close(fd);
  return bytes;
}

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

}  // namespace

SaveOutcome ReplaceWholeFile(const std::string& path, std::string_view bytes) {
  // A fixed name beside the file: a leftover from an interrupted save is simply overwritten.
  const std::string temporary = path + ".tmp";
  const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return SaveOutcome::CannotCreate;
  const bool written = WriteAll(fd, bytes) && fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed) {
    unlink(temporary.c_str());
    return SaveOutcome::ShortWrite;
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    unlink(temporary.c_str());
    return SaveOutcome::CannotCreate;
  }
  return SaveOutcome::Saved;
}

}  // namespace platform
