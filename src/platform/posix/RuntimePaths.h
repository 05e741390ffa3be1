#pragma once
// The per-user folders of the XDG base-directory rules that the POSIX backends use.

#include <string>

namespace platform {

// $XDG_RUNTIME_DIR, or "/tmp" when it is unset or empty.
std::string RuntimeFolder();
// $XDG_CONFIG_HOME, or $HOME/.config when it is unset or empty.
std::string ConfigFolder();

}  // namespace platform
