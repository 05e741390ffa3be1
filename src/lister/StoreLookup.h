#pragma once
// The last-run store asked for many commands at once. Each answer is the one of
// TStrings::ValueOf (the first line whose name matches, letter case ignored by the user's
// locale), found through a table of case-folded names instead of a walk through every line
// for every command: a folder of a thousand jobs and a store of a thousand lines would
// otherwise cost a million comparisons.

#include <string>
#include <string_view>
#include <unordered_map>

#include "foundation/TStringList.h"

class StoreLookup {
 public:
  // `store` must outlive the lookup and not change meanwhile.
  explicit StoreLookup(const TStrings& store);
  std::string ValueOf(std::string_view name) const;
  // The same for a name whose platform::CaseFoldKey is at hand.
  std::string ValueOf(std::string_view name, const std::string& foldedName) const;

 private:
  const TStrings& store_;
  std::unordered_map<std::string, int> firstLine_;  // case-folded name -> first line with it
};
