#include "listing/Directory.h"

#include "foundation/CivilDays.h"
#include "foundation/DateTimeText.h"
#include "foundation/DateTimeValue.h"
#include "platform/FileTime.h"

namespace {

// The six raw 32-bit halves of the three file times, each followed by ','.
std::string TimesText(const platform::FolderEntry& entry) {
  std::string text = "{";
  for (const std::uint64_t t : {entry.creationTime, entry.lastAccessTime, entry.lastWriteTime}) {
    text += std::to_string(static_cast<std::uint32_t>(t)) + ",";
    text += std::to_string(static_cast<std::uint32_t>(t >> 32)) + ",";
  }
  return text + "}";
}

}  // namespace

std::string EntryText(const platform::FolderEntry& entry, const std::string& path,
                      const platform::Clock& clock) {
  const bool folder = (entry.attributes & platform::kAttributeDirectory) != 0;
  const std::uint64_t size = (static_cast<std::uint64_t>(entry.sizeHigh) << 32) | entry.sizeLow;
  std::string text = "name=" + EscapeValue(entry.name);
  text += ",type=";
  text += EntryType(entry);
  text += ",size=" + (folder ? std::string() : std::to_string(size));
  text += ",path=" + EscapeValue(path);
  text += ",last_write=" + DateTimeText(LocalFromFileTime(entry.lastWriteTime, clock));
  if (entry.attributes & platform::kAttributeSystem) text += ",system=true";
  if (entry.attributes & platform::kAttributeHidden) text += ",hidden=true";
  text += ",attrib=" + std::to_string(entry.attributes);
  text += ",times=" + TimesText(entry);
  return text;
}

namespace {

// One pass over the search for `path` + "*", handing `take` every entry a listing keeps:
// "." and "..", and names whose ":" + name + ":" occurs in `exclusions`, are skipped.
template <class Take>
void ForEachKept(const std::string& path, const std::string& exclusions, Take take) {
  // Nothing goes between the path and the pattern: a path without its final separator
  // searches for names beginning with its last part.
  platform::FolderSearch search(path + "*");
  platform::FolderEntry entry;
  std::string delimited;
  while (search.Next(entry)) {
    if (entry.name == "." || entry.name == "..") continue;
    // Byte-for-byte, so "recycler" is listed while "RECYCLER" is not.
    delimited.assign(1, ':').append(entry.name).push_back(':');
    if (exclusions.find(delimited) != std::string::npos) continue;
    take(entry);
  }
}

// 10000-01-01 00:00 UTC as a file time: the first moment that no date value can hold.
constexpr std::uint64_t kFileTimeOfYear10000 =
    static_cast<std::uint64_t>(civil::DayNumberFromCivil(10000, 1, 1) -
                               civil::DayNumberFromCivil(1601, 1, 1)) *
    86'400 * platform::kFileTimeTicksPerSecond;

}  // namespace

FDirectory::FDirectory(const std::string& path, const std::string& exclusions,
                       const platform::Clock& clock) {
  ForEachKept(path, exclusions, [&](const platform::FolderEntry& entry) {
    entries.Append(EntryText(entry, path, clock));
  });
}

void ListEntries(const std::string& path, const std::string& exclusions,
                 const std::function<void(const platform::FolderEntry&)>& take) {
  bool pathChecked = false;  // the path is the same in every entry: checked at the first
  ForEachKept(path, exclusions, [&](const platform::FolderEntry& entry) {
    // The checks of EntryText, in its order.
    CheckEscapable(entry.name);
    if (!pathChecked) CheckEscapable(path), pathChecked = true;
    // Every file time before the year 10000 converts; only a later one can raise.
    if (entry.lastWriteTime >= kFileTimeOfYear10000) UtcFromFileTime(entry.lastWriteTime);
    take(entry);
  });
}

std::string_view EntryType(const platform::FolderEntry& entry) {
  return (entry.attributes & platform::kAttributeDirectory) != 0 ? "dir" : "file";
}

std::string EntryName(const platform::FolderEntry& entry) {
  std::string_view name = entry.name;
  while (!name.empty() && IsBlank(name.back())) name.remove_suffix(1);
  return std::string(name);
}
