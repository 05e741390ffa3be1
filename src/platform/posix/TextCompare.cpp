#include "platform/TextCompare.h"

#include <cctype>

namespace platform {

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const int x = static_cast<unsigned char>(a[i]);
    const int y = static_cast<unsigned char>(b[i]);
    if (x != y && std::toupper(x) != std::toupper(y)) return false;
  }
  return true;
}

std::string CaseFoldKey(std::string_view text) {
  std::string key(text);
  for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace platform
