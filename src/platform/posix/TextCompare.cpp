#include "platform/TextCompare.h"

#include <cctype>
#include <cstdint>

namespace platform {

namespace {

// toupper in the current locale, as a table where the C library gives one: every name of a
// job's line and every store key goes through here, a byte at a time.
#ifdef __GLIBC__
class Upper {
 public:
  Upper() : table_(*__ctype_toupper_loc()) {}
  int operator()(unsigned char c) const { return table_[c]; }

 private:
  const std::int32_t* table_;
};
#else
class Upper {
 public:
  int operator()(unsigned char c) const { return std::toupper(c); }
};
#endif

}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const Upper upper;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y && upper(x) != upper(y)) return false;
  }
  return true;
}

std::string CaseFoldKey(std::string_view text) {
  std::string key(text);
  const Upper upper;
  for (char& c : key) c = static_cast<char>(upper(static_cast<unsigned char>(c)));
  return key;
}

}  // namespace platform
