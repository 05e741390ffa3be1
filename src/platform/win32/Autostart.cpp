#include "platform/Autostart.h"

#include <windows.h>

#include "foundation/Exception.h"
#include "platform/AutostartText.h"

namespace platform {

namespace {

constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The Run key, opened for full access and never created: an installation without the key
// is not ours to repair. Whether the open worked shows in the calls made on the key.
class RunKey {
 public:
  RunKey() {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_ALL_ACCESS, &key_) != ERROR_SUCCESS)
      key_ = nullptr;
  }
  ~RunKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RunKey(const RunKey&) = delete;
  RunKey& operator=(const RunKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

class RegistryAutostart final : public Autostart {
 public:
  void SetValue(const std::string& valueName, const std::string& executablePath) override {
    const RunKey key;
    const std::string data = RunValueData(executablePath);
    // A key that could not be opened makes the write fail like any other refused write.
    const LONG result =
        key.Get() == nullptr
            ? ERROR_INVALID_HANDLE
            : RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1));  // with its terminating NUL
    if (result != ERROR_SUCCESS)
      throw ERegistryException("Failed to set data for '" + valueName + "'");
  }

  void DeleteValue(const std::string& valueName) override {
    const RunKey key;
    if (key.Get() != nullptr) RegDeleteValueA(key.Get(), valueName.c_str());
  }
};

}  // namespace

Autostart& SystemAutostart() {
  static RegistryAutostart autostart;
  return autostart;
}

}  // namespace platform
