#include "fakes/FakeLocale.h"

std::optional<std::string> FakeLocale::Item(std::uint32_t item, int capacity) const {
  const auto found = items.find(item);
  if (found == items.end() || static_cast<int>(found->second.size()) + 1 > capacity)
    return std::nullopt;
  return found->second;
}
