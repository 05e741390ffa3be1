#pragma once
// Property strings: one line of comma-separated items, normally name=value, with brace
// groups and double-quoted items. Values are stored escaped: '<' '>' '|' '*' stand for
// '{' '}' ',' '#'.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "foundation/TStringList.h"

// A blank: a space or a control character. Items and listed names never begin or end in one.
inline bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

class Tokens {
 public:
  // Decodes `text` into its items; Exception "Tokens, {...} do not match" when the braces
  // do not balance.
  explicit Tokens(std::string text);
  Tokens(const Tokens&) = delete;
  Tokens& operator=(const Tokens&) = delete;
  Tokens(Tokens&&) = default;
  Tokens& operator=(Tokens&&) = default;

  // Unescaped value of the first item named `name` (letter case ignored); empty when none.
  std::string Value(const std::string& name) const;
  // The values of several names as Value gives each, from one pass over the items.
  template <std::size_t N>
  std::array<std::string, N> Values(const std::array<std::string_view, N>& names) const {
    static_assert(N <= 32);
    std::array<std::string, N> values;
    ReadValues(names.data(), values.data(), N);
    return values;
  }
  // Whether decoding Text() is sure to give these items again: no item holds a '"' (written
  // twice), a ',' or a brace, and the last of several items is not empty (Text() would end in
  // ',', which ends no item).
  bool SurvivesText() const;
  // The items as one comma text.
  std::string Text() const;
  const TStringList& Items() const { return items_; }

 private:
  void ReadValues(const std::string_view* names, std::string* values, std::size_t count) const;

  TStringList items_;
};

// Exception "The character c is not allowed" when `text` holds '<', '>', '|' or '*'.
std::string EscapeValue(std::string text);
// Raises what EscapeValue would raise for `text`, without making the escaped copy.
void CheckEscapable(std::string_view text);
std::string UnescapeValue(std::string text);
