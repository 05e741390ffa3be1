#include "listing/Tokens.h"

#include <string_view>

#include "foundation/Exception.h"

namespace {

// The characters that carry the structure, and the ones that stand for them in a value.
constexpr std::string_view kStructure = "{},#";
constexpr std::string_view kEscaped = "<>|*";

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// An item that begins with '{' or '"' stands for the text between its first and last
// character, whatever the last one is; blanks at both ends never belong to an item.
std::string FinishItem(std::string raw) {
  if (!raw.empty() && (raw.front() == '{' || raw.front() == '"')) {
    raw = raw.size() >= 2 ? raw.substr(1, raw.size() - 2) : std::string();
  }
  std::size_t first = 0;
  std::size_t last = raw.size();
  while (first < last && IsBlank(raw[first])) ++first;
  while (last > first && IsBlank(raw[last - 1])) --last;
  return raw.substr(first, last - first);
}

}  // namespace

Tokens::Tokens(std::string text) {
  const std::size_t n = text.size();

  // The whole text is one braced group when the depth stays at 1 or more everywhere but
  // after its last character.
  int depth = 0;
  bool insideOneGroup = true;
  for (std::size_t i = 0; i < n; ++i) {
    if (text[i] == '{') ++depth;
    if (text[i] == '}') --depth;
    if (i + 1 < n && depth < 1) insideOneGroup = false;
  }
  if (depth != 0) throw Exception("Tokens, {...} do not match");
  if (n >= 2 && text.front() == '{' && insideOneGroup) text = text.substr(1, n - 2);

  // Commas at depth zero or below separate items; the depth may dip below zero inside a
  // balanced text ("}a{").
  const std::size_t m = text.size();
  std::size_t start = 0;
  depth = 0;
  for (std::size_t i = 0; i < m; ++i) {
    if (text[i] == '{') ++depth;
    if (text[i] == '}') --depth;
    if (text[i] == ',' && depth <= 0) {
      items_.Append(FinishItem(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  // A final separating ',' leaves no empty last item.
  if (start < m) items_.Append(FinishItem(text.substr(start)));
}

std::string Tokens::Value(const std::string& name) const {
  return UnescapeValue(items_.ValueOf(name));
}

std::string Tokens::Text() const { return items_.CommaJoined(); }

std::string EscapeValue(std::string text) {
  for (char& c : text) {
    if (kEscaped.find(c) != std::string_view::npos) {
      throw Exception(std::string("The character ") + c + " is not allowed");
    }
    if (const auto at = kStructure.find(c); at != std::string_view::npos) c = kEscaped[at];
  }
  return text;
}

std::string UnescapeValue(std::string text) {
  for (char& c : text) {
    if (const auto at = kEscaped.find(c); at != std::string_view::npos) c = kStructure[at];
  }
  return text;
}
