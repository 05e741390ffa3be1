#pragma once
// Faults of the real file backend, as a failing disk gives them: for the length of a scope
// the n-th call of one kind from then on (1 = the next) fails with the system's I/O error,
// and every other call goes to the system. Swaps an entry of the backend's table of system
// calls and puts the real one back at the end.

#include <string>

class FileFaults {
 public:
  // NextEntry: a folder search fetching its next entry (readdir, FindNextFileA).
  // EntryStatus: a folder search asking the status of the entry it found (POSIX; on Windows
  // the search gives it with the entry, and the fault changes nothing).
  enum class Call { Read, Write, Flush, Rename, NextEntry, EntryStatus };

  FileFaults(Call call, int failingCall);
  ~FileFaults();
  FileFaults(const FileFaults&) = delete;
  FileFaults& operator=(const FileFaults&) = delete;

  // How many calls of the kind were made so far, the failing one included.
  int Calls() const;
};

// A folder that refuses this user new files, as one installed by an administrator (or
// mounted read-only) does: for the length of a scope, creating a file directly in `folder`
// (a path with its trailing separator) fails for lack of rights (EACCES; ERROR_ACCESS_DENIED),
// while reading goes on as before. Several may stand at once.
class RefusedFolder {
 public:
  explicit RefusedFolder(std::string folder);
  ~RefusedFolder();
  RefusedFolder(const RefusedFolder&) = delete;
  RefusedFolder& operator=(const RefusedFolder&) = delete;
};
