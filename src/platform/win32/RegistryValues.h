#pragma once
// The string values of one registry key, as the autostart registration keeps them. The Run
// key under HKEY_LOCAL_MACHINE in the program; any key in tests, whose access rights they
// can narrow as log-on does for the Run key.

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "platform/AutostartRule.h"

namespace platform {

// The key of the log-on registrations, under HKEY_LOCAL_MACHINE.
inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryValues final : public AutostartStore {
 public:
  RegistryValues(HKEY root, std::string keyPath) : root_(root), keyPath_(std::move(keyPath)) {}

  // Opens the key with full access (never creating it) and sets a REG_SZ value, stored with
  // its terminating NUL.
  bool Write(const std::string& valueName, const std::string& data) override;
  // The value's text when it is a REG_SZ value whose data ends with its terminating NUL,
  // read with the right to query values only.
  std::optional<std::string> Read(const std::string& valueName) override;
  // Deletes the value; a failure is ignored.
  void Delete(const std::string& valueName);

 private:
  HKEY root_;
  std::string keyPath_;
};

}  // namespace platform
