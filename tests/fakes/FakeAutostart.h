#pragma once
// An autostart store in memory; it can be told to refuse writes like a missing Run key.

#include <map>
#include <string>

#include "foundation/Exception.h"
#include "platform/Autostart.h"

class FakeAutostart : public platform::Autostart {
 public:
  void SetValue(const std::string& valueName, const std::string& executablePath) override {
    ++writes;
    if (refuseWrites) throw ERegistryException("Failed to set data for '" + valueName + "'");
    values[valueName] = executablePath;
  }
  void DeleteValue(const std::string& valueName) override { values.erase(valueName); }

  std::map<std::string, std::string> values;
  bool refuseWrites = false;
  int writes = 0;
};
