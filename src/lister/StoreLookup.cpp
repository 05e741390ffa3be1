#include "lister/StoreLookup.h"

#include "platform/TextCompare.h"

StoreLookup::StoreLookup(const TStrings& store) : store_(store) {
  for (int i = 0; i < store.LineCount(); ++i) {
    const std::string line = store.Line(i);
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;  // a line without '=' has no name
    firstLine_.emplace(platform::CaseFoldKey(std::string_view(line).substr(0, equals)), i);
  }
}

std::string StoreLookup::ValueOf(std::string_view name) const {
  return ValueOf(name, platform::CaseFoldKey(name));
}

std::string StoreLookup::ValueOf(std::string_view name, const std::string& foldedName) const {
  const auto found = firstLine_.find(foldedName);
  return found == firstLine_.end() ? std::string() : store_.ValueAt(found->second, name);
}
