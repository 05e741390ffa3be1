#include "listing/Directory.h"

#include "foundation/DateTimeText.h"
#include "foundation/DateTimeValue.h"

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
  text += folder ? "dir" : "file";
  text += ",size=" + (folder ? std::string() : std::to_string(size));
  text += ",path=" + EscapeValue(path);
  text += ",last_write=" + DateTimeText(LocalFromFileTime(entry.lastWriteTime, clock));
  if (entry.attributes & platform::kAttributeSystem) text += ",system=true";
  if (entry.attributes & platform::kAttributeHidden) text += ",hidden=true";
  text += ",attrib=" + std::to_string(entry.attributes);
  text += ",times=" + TimesText(entry);
  return text;
}

FDirectory::FDirectory(const std::string& path, const std::string& exclusions,
                       const platform::Clock& clock) {
  // Nothing goes between the path and the pattern: a path without its final separator
  // searches for names beginning with its last part.
  platform::FolderSearch search(path + "*");
  platform::FolderEntry entry;
  while (search.Next(entry)) {
    if (entry.name == "." || entry.name == "..") continue;
    // Byte-for-byte, so "recycler" is listed while "RECYCLER" is not.
    if (exclusions.find(":" + entry.name + ":") != std::string::npos) continue;
    entries.Append(EntryText(entry, path, clock));
  }
}
