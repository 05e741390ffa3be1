// Folder search on POSIX, in the shape FindFirstFileA / FindNextFileA give it:
// - The pattern "<folder>/<prefix>*" lists <folder> with opendir/readdir and keeps the names
//   that begin with <prefix>, compared byte for byte (the file system tells letter case
//   apart). A pattern without a '/' lists the current folder; one without a final '*'
//   keeps only the name equal to its last part. Entries come in readdir order, "." and ".."
//   included.
// - Attributes: 0x10 (directory) for folders, 0x20 (archive) for regular files, 0x2 (hidden)
//   for names that begin with '.' other than "." and "..", 0x1 (read-only) when the owner
//   may not write. Nothing maps to 0x4 (system).
// - Status follows symbolic links (stat); a dangling link is reported with its own status.
//   An entry that vanishes between readdir and stat is left out.
// - A folder that opendir cannot open gives no entries; a readdir that fails afterwards, or a
//   status that cannot be had for another reason than the entry being gone, raises "Cannot
//   list folder <folder>: readdir failed: <reason>" ("stat failed: ..." for the status).
// - Size: the file's size split into 32-bit halves; 0 for folders.
// - Times (UTC, 100 ns ticks since 1601-01-01): creation = birth time where the file
//   system reports one (statx), else the status change time; last access = access time;
//   last write = modification time. Moments before 1601 read as 0.

#include "platform/FolderSearch.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>

#include "foundation/Exception.h"
#include "platform/FileTime.h"
#include "platform/posix/FileCalls.h"

namespace platform {

namespace {

constexpr FolderSearchCalls kRealFolderSearchCalls{::opendir, ::readdir, ::closedir
#ifdef STATX_BTIME
                                                    ,
                                                    ::statx
#endif
};
FolderSearchCalls folderSearchCalls = kRealFolderSearchCalls;

std::uint64_t Ticks(std::int64_t seconds, std::int64_t nanoseconds) {
  const std::int64_t since1601 = seconds + kSecondsFrom1601To1970;
  if (since1601 < 0) return 0;
  return static_cast<std::uint64_t>(since1601) * std::uint64_t{kFileTimeTicksPerSecond} +
         static_cast<std::uint64_t>(nanoseconds / 100);
}

struct Status {
  bool isFolder = false, isRegular = false, ownerMayWrite = false;
  std::uint64_t size = 0;
  std::uint64_t creation = 0, access = 0, write = 0;
};

bool StatusFromStat(const char* path, Status& status) {
  struct stat st {};
  if (stat(path, &st) != 0 && lstat(path, &st) != 0) return false;
  status.isFolder = S_ISDIR(st.st_mode);
  status.isRegular = S_ISREG(st.st_mode);
  status.ownerMayWrite = (st.st_mode & S_IWUSR) != 0;
  status.size = static_cast<std::uint64_t>(st.st_size);
  status.creation = Ticks(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
  status.access = Ticks(st.st_atim.tv_sec, st.st_atim.tv_nsec);
  status.write = Ticks(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
  return true;
}

bool StatusOf(const char* path, Status& status) {
#ifdef STATX_BTIME
  const unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
  struct statx sx {};
  int rc = folderSearchCalls.statx(AT_FDCWD, path, AT_STATX_SYNC_AS_STAT, mask, &sx);
  if (rc != 0 && errno != ENOSYS) {
    rc = folderSearchCalls.statx(AT_FDCWD, path, AT_STATX_SYNC_AS_STAT | AT_SYMLINK_NOFOLLOW,
                                 mask, &sx);
  }
  if (rc != 0) return errno == ENOSYS && StatusFromStat(path, status);
  status.isFolder = S_ISDIR(sx.stx_mode);
  status.isRegular = S_ISREG(sx.stx_mode);
  status.ownerMayWrite = (sx.stx_mode & S_IWUSR) != 0;
  status.size = sx.stx_size;
  const auto& born = (sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime;
  status.creation = Ticks(born.tv_sec, born.tv_nsec);
  status.access = Ticks(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
  status.write = Ticks(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
  return true;
#else
  return StatusFromStat(path, status);
#endif
}

}  // namespace

FolderSearchCalls& SystemFolderSearchCalls() { return folderSearchCalls; }
const FolderSearchCalls& RealFolderSearchCalls() { return kRealFolderSearchCalls; }

struct FolderSearch::State {
  DIR* dir = nullptr;
  std::string folder;  // ends with '/', or empty for the current folder
  std::string prefix;
  bool wholeName = false;  // no final '*': the name must equal `prefix`
};

FolderSearch::FolderSearch(const std::string& pattern) : state_(std::make_unique<State>()) {
  const std::size_t slash = pattern.rfind('/');
  state_->folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
  state_->prefix = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  if (!state_->prefix.empty() && state_->prefix.back() == '*') {
    state_->prefix.pop_back();
  } else {
    state_->wholeName = true;
  }
  state_->dir = folderSearchCalls.opendir(state_->folder.empty() ? "." : state_->folder.c_str());
}

FolderSearch::~FolderSearch() {
  if (state_->dir != nullptr) folderSearchCalls.closedir(state_->dir);
}

bool FolderSearch::Next(FolderEntry& entry) {
  if (state_->dir == nullptr) return false;
  // A failure ends the search.
  const auto fail = [&](const char* call) {
    const int error = errno;
    folderSearchCalls.closedir(state_->dir);
    state_->dir = nullptr;
    throw Exception("Cannot list folder " + (state_->folder.empty() ? "." : state_->folder) +
                    ": " + call + " failed: " + std::strerror(error));
  };
  // readdir tells its end from its failure only by errno.
  for (;;) {
    errno = 0;
    const dirent* d = folderSearchCalls.readdir(state_->dir);
    if (d == nullptr) break;
    const std::string name = d->d_name;
    if (state_->wholeName ? name != state_->prefix
                          : name.compare(0, state_->prefix.size(), state_->prefix) != 0) {
      continue;
    }
    Status status;
    if (!StatusOf((state_->folder + name).c_str(), status)) {
      // Gone since readdir named it: as if it had not been there.
      if (errno == ENOENT || errno == ENOTDIR) continue;
      // Any other failure would pass a shorter list for the folder, as a failing readdir would.
      fail("stat");
    }

    entry.name = name;
    entry.attributes = 0;
    if (status.isFolder) entry.attributes |= kAttributeDirectory;
    if (status.isRegular) entry.attributes |= kAttributeArchive;
    if (name[0] == '.' && name != "." && name != "..") entry.attributes |= kAttributeHidden;
    if (!status.ownerMayWrite) entry.attributes |= kAttributeReadOnly;
    const std::uint64_t size = status.isFolder ? 0 : status.size;
    entry.sizeHigh = static_cast<std::uint32_t>(size >> 32);
    entry.sizeLow = static_cast<std::uint32_t>(size);
    entry.creationTime = status.creation;
    entry.lastAccessTime = status.access;
    entry.lastWriteTime = status.write;
    return true;
  }
  if (errno != 0) fail("readdir");
  folderSearchCalls.closedir(state_->dir);
  state_->dir = nullptr;
  return false;
}

}  // namespace platform
