#include "platform/Autostart.h"

#include "platform/AutostartText.h"
#include "platform/win32/RegistryValues.h"

namespace platform {

namespace {

// The values of the machine's Run key. The key is opened, never created: an installation
// without it is not ours to repair, and a missing key refuses the write like any other.
class RegistryAutostart final : public Autostart {
 public:
  void SetValue(const std::string& valueName, const std::string& executablePath) override {
    WriteRegistration(values_, valueName, RunValueData(executablePath));
  }
  void DeleteValue(const std::string& valueName) override { values_.Delete(valueName); }

 private:
  RegistryValues values_{HKEY_LOCAL_MACHINE, kRunKey};
};

}  // namespace

Autostart& SystemAutostart() {
  static RegistryAutostart autostart;
  return autostart;
}

}  // namespace platform
