#pragma once
// The per-user folders that the POSIX backends use.

#include <optional>
#include <string>

namespace platform {

// Where named-mutex lock files live: $XDG_RUNTIME_DIR, which the log-in session makes
// private to the user, or else the user's own PrivateFolder "/tmp/harbovale-<uid>", since
// anyone could create and hold a lock file of /tmp itself first. Nothing when that folder
// is refused.
std::optional<std::string> LockFolder();

// The path of that folder, found without creating or checking anything: for those who only
// look whether a lock is held (a missing folder holds no lock).
std::string LockFolderPath();

// The lock file that stands for the named mutex `name` in the lock folder `folder`:
// "<name>.lock", with any '/' of the name as '_'.
std::string LockFilePath(const std::string& folder, const std::string& name);

// `folder`, created with mode 0700 when missing. Nothing when it cannot be created, or when
// it is not a folder (a symbolic link is not), belongs to another user, or lets anyone else
// in at all.
std::optional<std::string> PrivateFolder(const std::string& folder);

// $XDG_CONFIG_HOME, or $HOME/.config when it is unset or empty.
std::string ConfigFolder();
// $XDG_STATE_HOME, or $HOME/.local/state when it is unset or not an absolute path: where a
// program keeps what it must remember for this user. Empty when neither names a folder.
std::string StateFolder();
// ConfigFolder() + "/autostart": where the desktop entries of programs started at log-on are.
std::string AutostartFolder();

}  // namespace platform
