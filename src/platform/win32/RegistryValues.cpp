#include "platform/win32/RegistryValues.h"

#include <algorithm>

namespace platform {

namespace {

// An open registry key, closed with its scope; null when the open was refused.
class OpenKey {
 public:
  OpenKey(HKEY root, const std::string& path, REGSAM access) {
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~OpenKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY Get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

bool RegistryValues::Write(const std::string& valueName, const std::string& data) {
  const OpenKey key(root_, keyPath_, KEY_ALL_ACCESS);
  return key.Get() != nullptr &&
         RegSetValueExA(key.Get(), valueName.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()),
                        static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

std::optional<std::string> RegistryValues::Read(const std::string& valueName) {
  const OpenKey key(root_, keyPath_, KEY_QUERY_VALUE);
  if (key.Get() == nullptr) return std::nullopt;
  std::string bytes(256, '\0');
  for (;;) {
    DWORD type = 0;
    auto size = static_cast<DWORD>(bytes.size());
    const LONG result = RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(bytes.data()), &size);
    if (result == ERROR_MORE_DATA) {
      // The value may have grown since `size` was reported: ask again until it fits.
      bytes.resize(std::max<std::size_t>(size, bytes.size() * 2));
      continue;
    }
    if (result != ERROR_SUCCESS || type != REG_SZ || size == 0 || bytes[size - 1] != '\0')
      return std::nullopt;
    bytes.resize(size - 1);
    return bytes;
  }
}

void RegistryValues::Delete(const std::string& valueName) {
  const OpenKey key(root_, keyPath_, KEY_ALL_ACCESS);
  if (key.Get() != nullptr) RegDeleteValueA(key.Get(), valueName.c_str());
}

}  // namespace platform
