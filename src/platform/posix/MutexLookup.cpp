#include "platform/MutexLookup.h"

#include <sys/stat.h>

#include <cerrno>
#include <sstream>

#include "platform/Files.h"
#include "platform/posix/RuntimePaths.h"

namespace platform {

namespace {

// Whether the kernel's lock table holds a flock lock on the file with inode `inode`. A line
// reads "1: FLOCK  ADVISORY  WRITE 1234 fe:00:10953639 0 EOF"; lines of processes waiting for
// a lock ("1: -> FLOCK ...") do not count. Only the inode number is compared: some file
// systems (btrfs subvolumes, overlays) show stat a device number other than the table's.
std::optional<bool> FlockHeldOn(ino_t inode) {
  const FileContents table = ReadWholeFile("/proc/locks");
  if (table.outcome != ReadOutcome::Read) return std::nullopt;
  std::istringstream lines(table.bytes);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string number, kind, mode, access, pid, file;
    if (!(fields >> number >> kind >> mode >> access >> pid >> file)) continue;
    if (kind != "FLOCK") continue;
    const auto colon = file.find_last_of(':');
    if (colon == std::string::npos) continue;
    if (file.substr(colon + 1) == std::to_string(inode)) return true;
  }
  return false;
}

}  // namespace

MutexPresence LookForNamedMutex(const std::string& name) {
  struct stat status {};
  if (lstat(LockFilePath(LockFolderPath(), name).c_str(), &status) != 0)
    return errno == ENOENT ? MutexPresence::Absent : MutexPresence::Unknown;
  const auto held = FlockHeldOn(status.st_ino);
  if (!held) return MutexPresence::Unknown;
  return *held ? MutexPresence::Held : MutexPresence::Absent;
}

}  // namespace platform
