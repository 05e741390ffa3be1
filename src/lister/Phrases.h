#pragma once
// Small pieces of the lister's sentences, written alike everywhere.

#include <string>
#include <vector>

// `text` between double quotes.
inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// The texts one after the other, separated by ", ".
inline std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : ", ") + text;
  return joined;
}
