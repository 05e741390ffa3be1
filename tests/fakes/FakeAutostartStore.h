#pragma once
// A store of autostart registrations in memory that can be told to refuse writes (as the Run
// key does at log-on under UAC) and to refuse reads; it records the writes it was asked for.

#include <map>
#include <optional>
#include <string>

#include "platform/AutostartRule.h"

class FakeAutostartStore : public platform::AutostartStore {
 public:
  bool Write(const std::string& valueName, const std::string& data) override {
    ++writes;
    if (refuseWrites) return false;
    values[valueName] = data;
    return true;
  }
  std::optional<std::string> Read(const std::string& valueName) override {
    const auto found = values.find(valueName);
    if (refuseReads || found == values.end()) return std::nullopt;
    return found->second;
  }

  std::map<std::string, std::string> values;
  bool refuseWrites = false;
  bool refuseReads = false;
  int writes = 0;
};
