#pragma once
// The rule every autostart backend follows when it writes the log-on registration.
//
// Programs registered for log-on are started with the user's standard rights, even for an
// administrator, and may then not write the registration at all, although it is in place
// and right. A registration that cannot be written but already holds exactly what would be
// written is therefore not an error; in every other case (nothing there, something else
// there, nothing readable) the refused write stays an error.

#include <optional>
#include <string>

namespace platform {

// Where the registrations are kept: the values of the Run key, or the entries of the
// autostart folder, each under the name of its registration.
class AutostartStore {
 public:
  virtual ~AutostartStore() = default;
  // Writes `data` as the registration `valueName`; false when the store refuses it.
  virtual bool Write(const std::string& valueName, const std::string& data) = 0;
  // The registration `valueName` as it would have been written; nothing when it is absent,
  // cannot be read, or is of another kind than a write makes.
  virtual std::optional<std::string> Read(const std::string& valueName) = 0;
};

// Writes `data` as the registration `valueName`. Raises ERegistryException "Failed to set
// data for '<valueName>'" when the write is refused and the store does not already hold
// exactly `data`.
void WriteRegistration(AutostartStore& store, const std::string& valueName,
                       const std::string& data);

}  // namespace platform
