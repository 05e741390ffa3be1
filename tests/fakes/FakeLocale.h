#pragma once
// A locale that answers items from a map, to test how the format record is filled.

#include <cstdint>
#include <map>
#include <string>

#include "platform/Locale.h"

class FakeLocale : public platform::LocaleSource {
 public:
  // Items not in the map fail, as do items longer than the room asked for.
  std::optional<std::string> Item(std::uint32_t item, int capacity) const override;
  unsigned PrimaryLanguage() const override { return primaryLanguage; }
  void ResetThreadLocale() override { ++resets; }

  std::map<std::uint32_t, std::string> items;
  unsigned primaryLanguage = 0x09;  // English
  int resets = 0;
};
