#include "platform/TextCompare.h"

#include <windows.h>

namespace platform {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::string CaseFoldKey(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE,
                                  text.data(), size, nullptr, 0);
  if (length <= 0) return std::string(text);  // no key to be had: the text stands for itself
  std::string key(static_cast<std::size_t>(length), '\0');
  LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text.data(), size, key.data(),
               length);
  return key;
}

}  // namespace platform
