#pragma once
// The listing of one folder as property strings, one per entry, in the order the file
// system gives them:
//   name=..,type=file|dir,size=..,path=..,last_write=..[,system=true][,hidden=true],attrib=..,times={..}

#include <functional>
#include <string>
#include <string_view>

#include "foundation/TStringList.h"
#include "listing/Tokens.h"
#include "platform/Clock.h"
#include "platform/FolderSearch.h"

class ADirectory {
 public:
  virtual ~ADirectory() = default;
  // Copy of entry `index`; EStringListError outside 0..entries.LineCount()-1.
  std::string GetEntry(int index) const { return entries.Line(index); }

  TStringList entries;
};

class FDirectory : public ADirectory {
 public:
  // Lists `path` + "*" (`path` should end with the separator). Entries named "." or "..",
  // and those whose ":" + name + ":" occurs in `exclusions`, are skipped. The clock's
  // time zone turns last-write times into local time.
  FDirectory(const std::string& path, const std::string& exclusions, const platform::Clock& clock);
};

// The entries that an FDirectory of `path` lists, handed to `take` one by one in the search's
// order, without their texts: for a caller that needs only what the search found. Each entry
// is checked as making its text would check it first, so the same errors arise at the same
// entry ("The character c is not allowed", "Invalid argument to date encode").
void ListEntries(const std::string& path, const std::string& exclusions,
                 const std::function<void(const platform::FolderEntry&)>& take);

// The `type` and `name` values that decoding an entry's text gives back, read from the entry
// itself: "dir" for a folder, else "file"; the name less the blanks at its end, which
// decoding drops from every item.
std::string_view EntryType(const platform::FolderEntry& entry);
std::string EntryName(const platform::FolderEntry& entry);

// The property string of one found entry of the folder `path` (name and path escaped,
// last-write time in local time through the clock's time zone). Exception "The character c
// is not allowed" when the name or the path holds '<', '>', '|' or '*'.
std::string EntryText(const platform::FolderEntry& entry, const std::string& path,
                      const platform::Clock& clock);
