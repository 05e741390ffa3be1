#pragma once
// Property strings: one line of comma-separated items, normally name=value, with brace
// groups and double-quoted items. Values are stored escaped: '<' '>' '|' '*' stand for
// '{' '}' ',' '#'.

#include <string>
#include <string_view>

#include "foundation/TStringList.h"

class Tokens {
 public:
  // Decodes `text` into its items; Exception "Tokens, {...} do not match" when the braces
  // do not balance.
  explicit Tokens(std::string text);
  Tokens(const Tokens&) = delete;
  Tokens& operator=(const Tokens&) = delete;

  // Unescaped value of the first item named `name` (letter case ignored); empty when none.
  std::string Value(const std::string& name) const;
  // The items as one comma text.
  std::string Text() const;
  const TStringList& Items() const { return items_; }

 private:
  TStringList items_;
};

// Exception "The character c is not allowed" when `text` holds '<', '>', '|' or '*'.
std::string EscapeValue(std::string text);
// Raises what EscapeValue would raise for `text`, without making the escaped copy.
void CheckEscapable(std::string_view text);
std::string UnescapeValue(std::string text);
