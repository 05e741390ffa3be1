#pragma once
// Files and folders, as the scheduler uses them: its own path, existence checks, reading a
// whole file and replacing a whole file.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Separator that ends the folder paths the scheduler builds ('\' on Windows, '/' on POSIX).
extern const char kPathSeparator;

// Full path of the running executable, however long it is. Raises Exception naming the
// failed call when the system cannot give it whole: a cut path would put the job folder and
// the last-run store somewhere else.
std::string ExecutablePath();

bool FileExists(const std::string& path);    // exists and is not a folder
bool FolderExists(const std::string& path);  // exists and is a folder

enum class ReadOutcome { Read, CannotOpen, ReadFailed };

struct FileContents {
  ReadOutcome outcome = ReadOutcome::CannotOpen;
  std::string bytes;  // the whole file when Read; empty otherwise
};

// Who may use a file while it is read. The scheduler's own reads let only other readers in:
// a file open elsewhere for writing cannot be read (share mode read-only on Windows). A
// reader that must never stand in a writer's way lets everyone in: others may write,
// replace or delete the file meanwhile (share read, write and delete). POSIX has no share
// modes: both read alike there.
enum class ReadSharing { ReadersOnly, Everyone };

// Whole contents of an existing file, opened with `sharing`. A read that fails after the
// open is ReadFailed, never a shorter file: what was read before it is dropped.
FileContents ReadWholeFile(const std::string& path,
                           ReadSharing sharing = ReadSharing::ReadersOnly);

// Why the job file at `path` must not be run, or nothing when it may. A job file's command
// runs as this user, so on POSIX it is refused when anyone else could have put it there or
// changed it: the file or its folder belongs to a user other than this one or root, others
// may write the file, or others may write its folder and it is not sticky. Group write is
// allowed (a user's own group). On Windows the program's folder is the user's: always nothing.
// A file that cannot be looked at gives nothing; reading it then tells why.
// A reader of many files of one folder looks at the folder once: with AlreadyFoundSafe only
// the file itself is looked at.
enum class FolderCheck { Look, AlreadyFoundSafe };
std::optional<std::string> UnsafeToRunReason(const std::string& path,
                                             FolderCheck folderCheck = FolderCheck::Look);
// The part of UnsafeToRunReason that looks at the folder holding `path`.
std::optional<std::string> UnsafeFolderReason(const std::string& path);

// The absolute form of `path`, as the system would report that file as a program's path
// (GetFullPathNameA; realpath on POSIX); `path` itself when that fails.
std::string FullPath(const std::string& path);

enum class SaveOutcome { Saved, CannotCreate, ShortWrite };

// Writes `bytes` to a new temporary file in the same folder and puts it in place of `path`
// in one step (MoveFileExA with replace-existing and write-through; rename on POSIX). On any
// failure the temporary file is removed and the previous file at `path` is untouched.
// On POSIX the steps are: write, flush the file, rename, flush the folder (so that the rename
// survives a power cut). A failing write or file flush is ShortWrite, a failing rename
// CannotCreate; a failing folder flush is still Saved, since the new file is in place by then.
SaveOutcome ReplaceWholeFile(const std::string& path, std::string_view bytes);

}  // namespace platform
