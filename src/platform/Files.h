#pragma once
// Files and folders, as the scheduler uses them: its own path, existence checks, reading a
// whole file and replacing a whole file.

#include <cstddef>
#include <cstdint>
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

// A file opened for reading a piece at a time, with the sharing of ReadWholeFile: for a
// reader that needs only the beginning of a file. On POSIX the open never waits
// (O_NONBLOCK): a named pipe in place of a file opens at once, and is then refused by
// UnsafeToRunReason, where a plain open would hold the reader until someone writes to it.
class InputFile {
 public:
  explicit InputFile(const std::string& path, ReadSharing sharing = ReadSharing::ReadersOnly);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool IsOpen() const;
  // UnsafeToRunReason's reasons that concern the file itself, and that it is not a regular
  // file, taken from the open file (fstat), so from the very file that is read: "it is not
  // a regular file", "it belongs to another user (uid N)", "other users may write it".
  // Neither the folder nor the link that the path may be is looked at. Nothing on Windows.
  std::optional<std::string> UnsafeToRunReason() const;
  // Reads up to `size` bytes into `buffer`: how many, 0 at the end of the file, -1 when the
  // read fails.
  long long Read(char* buffer, std::size_t size);

 private:
  long long handle_;  // a file descriptor, or a HANDLE's value
  std::uint32_t mode_ = 0, owner_ = 0;  // POSIX: the open file's status
};

// What the safety of the job files of one folder owes to the folder, looked at once for
// all of them: why it is unsafe (UnsafeFolderReason), and whether anyone besides its owner
// may put entries in it (a link there may then be another user's). Nothing on Windows.
struct FolderLook {
  std::optional<std::string> unsafeReason;
  bool othersMayAddEntries = false;
};
FolderLook LookAtFolderOf(const std::string& path);
// The part of UnsafeToRunReason that looks at `path` itself without following it: a link
// that belongs to another user. Nothing when it is no link or cannot be looked at.
std::optional<std::string> UnsafeLinkReason(const std::string& path);

// Why the job file at `path` must not be run, or nothing when it may. A job file's command
// runs as this user, so on POSIX it is refused when anyone else could have put it there or
// changed it: the file or its folder belongs to a user other than this one or root, others
// may write the file, or others may write its folder and it is not sticky; and it is
// refused when it is not a regular file (a named pipe or a device). Group write is
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

// Refused: the folder denied this user the temporary file for lack of rights (ERROR_ACCESS_DENIED;
// EACCES, EPERM or EROFS), where the user's copy of the folder may take the file instead.
// CannotCreate: any other failure to create the temporary file or to put it in place.
enum class SaveOutcome { Saved, CannotCreate, Refused, ShortWrite };

// Writes `bytes` to a new temporary file in the same folder and puts it in place of `path`
// in one step (MoveFileExA with replace-existing and write-through; rename on POSIX). On any
// failure the temporary file is removed and the previous file at `path` is untouched.
// On POSIX the steps are: write, flush the file, rename, flush the folder (so that the rename
// survives a power cut). A failing write or file flush is ShortWrite, a failing rename
// CannotCreate; a failing folder flush is still Saved, since the new file is in place by then.
SaveOutcome ReplaceWholeFile(const std::string& path, std::string_view bytes);

// This user's own copy of the folder `folder` (a full path with its trailing separator),
// where the system keeps the files that the folder refuses this user, and from where it shows
// them over the folder. Windows: the virtual store, "%LOCALAPPDATA%\VirtualStore\" followed
// by the folder's path without its drive. POSIX: "$XDG_STATE_HOME/harbovale-scheduler"
// ($HOME/.local/state when unset) followed by the folder's path. With its trailing
// separator; empty when the system names none (a folder on no drive, no home).
std::string UserCopyOfFolder(const std::string& folder);

// Makes `folder` and each missing folder above it, for this user alone (0700 on POSIX; on
// Windows they take the rights of the per-user folder they are made in). False when one
// cannot be made or is not a folder.
bool MakeFolders(const std::string& folder);

// The key under which the file system tells the names in one folder apart: the name itself
// on POSIX; on Windows, whose file names ignore letter case, the name case-folded.
std::string FileNameKey(const std::string& name);

}  // namespace platform
