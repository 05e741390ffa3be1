#include "platform/Locale.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

// Every query goes to the calling thread's locale, which a settings change sets back to the
// user's default before the format is read again.
class Win32Locale : public LocaleSource {
 public:
  std::optional<std::string> Item(std::uint32_t item, int capacity) const override {
    if (capacity <= 0) return std::nullopt;
    std::vector<char> buffer(static_cast<std::size_t>(capacity));
    const int length = GetLocaleInfoA(GetThreadLocale(), item, buffer.data(), capacity);
    if (length <= 0) return std::nullopt;  // unknown item, or the text does not fit
    return std::string(buffer.data(), static_cast<std::size_t>(length - 1));
  }

  unsigned PrimaryLanguage() const override {
    return PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale()));
  }

  void ResetThreadLocale() override { SetThreadLocale(LOCALE_USER_DEFAULT); }
};

}  // namespace

LocaleSource& SystemLocale() {
  static Win32Locale locale;
  return locale;
}

}  // namespace platform
