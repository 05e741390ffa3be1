#include "listing/Tokens.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "foundation/Exception.h"
#include "platform/TextCompare.h"

namespace {

// The characters that carry the structure, and the ones that stand for them in a value.
constexpr std::string_view kStructure = "{},#";
constexpr std::string_view kEscaped = "<>|*";

// A schedule line holds four items, a listing entry eight or nine.
constexpr int kUsualItems = 10;

// For every byte, where it stands in `set`, or -1. Every name of a listing and every value
// read is mapped a character at a time: looked up, not searched for.
constexpr std::array<signed char, 256> PlacesIn(std::string_view set) {
  std::array<signed char, 256> places{};
  places.fill(-1);
  for (std::size_t i = 0; i < set.size(); ++i)
    places[static_cast<unsigned char>(set[i])] = static_cast<signed char>(i);
  return places;
}
constexpr auto kPlaceInEscaped = PlacesIn(kEscaped);
constexpr auto kPlaceInStructure = PlacesIn(kStructure);

// Characters that an item does not keep through Text() and a decoding of it.
constexpr auto kChangedByText = [] {
  std::array<bool, 256> changed{};
  for (const char c : std::string_view("\",{}")) changed[static_cast<unsigned char>(c)] = true;
  return changed;
}();

int EscapedIndex(char c) { return kPlaceInEscaped[static_cast<unsigned char>(c)]; }
int StructureIndex(char c) { return kPlaceInStructure[static_cast<unsigned char>(c)]; }

// An item that begins with '{' or '"' stands for the text between its first and last
// character, whatever the last one is; blanks at both ends never belong to an item.
std::string FinishItem(std::string_view raw) {
  if (!raw.empty() && (raw.front() == '{' || raw.front() == '"')) {
    raw = raw.size() >= 2 ? raw.substr(1, raw.size() - 2) : std::string_view();
  }
  while (!raw.empty() && IsBlank(raw.front())) raw.remove_prefix(1);
  while (!raw.empty() && IsBlank(raw.back())) raw.remove_suffix(1);
  return std::string(raw);
}

}  // namespace

Tokens::Tokens(std::string text) {
  std::string_view rest = text;
  const bool hasBraces =
      rest.find('{') != std::string_view::npos || rest.find('}') != std::string_view::npos;
  if (hasBraces) {
    // The whole text is one braced group when the depth stays at 1 or more everywhere but
    // after its last character.
    const std::size_t n = rest.size();
    int depth = 0;
    bool insideOneGroup = true;
    for (std::size_t i = 0; i < n; ++i) {
      if (rest[i] == '{') ++depth;
      if (rest[i] == '}') --depth;
      if (i + 1 < n && depth < 1) insideOneGroup = false;
    }
    if (depth != 0) throw Exception("Tokens, {...} do not match");
    if (n >= 2 && rest.front() == '{' && insideOneGroup) rest = rest.substr(1, n - 2);
  }

  // Commas at depth zero or below separate items; the depth may dip below zero inside a
  // balanced text ("}a{"). Without braces every comma separates. Room for the items of a
  // schedule line or a listing entry is made at once rather than counted first.
  items_.Reserve(kUsualItems);
  std::size_t start = 0;
  if (hasBraces) {
    int depth = 0;
    for (std::size_t i = 0; i < rest.size(); ++i) {
      if (rest[i] == '{') ++depth;
      if (rest[i] == '}') --depth;
      if (rest[i] == ',' && depth <= 0) {
        items_.Append(FinishItem(rest.substr(start, i - start)));
        start = i + 1;
      }
    }
  } else {
    for (std::size_t comma; (comma = rest.find(',', start)) != std::string_view::npos;) {
      items_.Append(FinishItem(rest.substr(start, comma - start)));
      start = comma + 1;
    }
  }
  // A final separating ',' leaves no empty last item.
  if (start < rest.size()) items_.Append(FinishItem(rest.substr(start)));
}

std::string Tokens::Value(const std::string& name) const {
  return UnescapeValue(items_.ValueOf(name));
}

void Tokens::ReadValues(const std::string_view* names, std::string* values,
                        std::size_t count) const {
  // Each name takes the first item it matches, as TStrings::ValueOf finds it.
  const std::vector<std::string>& items = items_.Lines();
  std::uint32_t unfound = count >= 32 ? ~0u : (1u << count) - 1;
  for (std::size_t i = 0; i < items.size() && unfound != 0; ++i) {
    const std::string& item = items[i];
    const auto equals = item.find('=');
    if (equals == std::string::npos) continue;
    const std::string_view name = std::string_view(item).substr(0, equals);
    for (std::size_t n = 0; n < count; ++n) {
      if ((unfound >> n & 1) == 0 || !platform::SameTextIgnoringCase(name, names[n])) continue;
      unfound &= ~(1u << n);
      values[n] = UnescapeValue(items_.ValueAt(static_cast<int>(i), names[n]));
    }
  }
}

bool Tokens::SurvivesText() const {
  const std::vector<std::string>& items = items_.Lines();
  if (items.size() > 1 && items.back().empty()) return false;  // Text() would end in ','
  for (const std::string& item : items) {
    for (const char c : item)
      if (kChangedByText[static_cast<unsigned char>(c)]) return false;
  }
  return true;
}

std::string Tokens::Text() const { return items_.CommaJoined(); }

void CheckEscapable(std::string_view text) {
  for (const char c : text) {
    if (EscapedIndex(c) >= 0) throw Exception(std::string("The character ") + c + " is not allowed");
  }
}

std::string EscapeValue(std::string text) {
  CheckEscapable(text);
  for (char& c : text) {
    if (const int at = StructureIndex(c); at >= 0) c = kEscaped[static_cast<std::size_t>(at)];
  }
  return text;
}

std::string UnescapeValue(std::string text) {
  for (char& c : text) {
    if (const int at = EscapedIndex(c); at >= 0) c = kStructure[static_cast<std::size_t>(at)];
  }
  return text;
}
