// Attributes that only Windows can set on a file: hidden and system.
#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include "fakes/FakeClock.h"
#include "fakes/TempFolder.h"
#include "listing/Directory.h"
#include "platform/FolderSearch.h"

namespace {

TEST(FolderSearchWin32, HiddenAndSystemEntriesAreListedAndMarked) {
  TempFolder folder;
  const std::string both = folder.Write("both.txt", "");
  const std::string hidden = folder.Write("hidden.txt", "");
  const std::string system = folder.Write("system.txt", "");
  ASSERT_TRUE(SetFileAttributesA(
      both.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
  ASSERT_TRUE(SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA(system.c_str(), FILE_ATTRIBUTE_SYSTEM));

  FakeClock clock(2026, 12, 9);
  const FDirectory listing(folder.Path(), ":Temporary Internet Files:RECYCLER:", clock);
  ASSERT_EQ(listing.entries.LineCount(), 3);
  for (int i = 0; i < listing.entries.LineCount(); ++i) {
    const std::string entry = listing.GetEntry(i);
    SCOPED_TRACE(entry);
    Tokens tokens(entry);
    const std::string name = tokens.Value("name");
    const unsigned long attrib = std::stoul(tokens.Value("attrib"));
    if (name == "both.txt") {
      EXPECT_EQ(attrib & 0x6, 0x6u);
      EXPECT_NE(entry.find(",system=true,hidden=true,attrib="), std::string::npos);
    } else if (name == "hidden.txt") {
      EXPECT_EQ(attrib & 0x6, 0x2u);
      EXPECT_NE(entry.find(",hidden=true,attrib="), std::string::npos);
      EXPECT_EQ(tokens.Value("system"), "");
    } else {
      EXPECT_EQ(name, "system.txt");
      EXPECT_EQ(attrib & 0x6, 0x4u);
      EXPECT_NE(entry.find(",system=true,attrib="), std::string::npos);
      EXPECT_EQ(tokens.Value("hidden"), "");
    }
    // last_write directly precedes the optional items.
    EXPECT_NE(entry.find(",last_write="), std::string::npos);
  }
}

TEST(FolderSearchWin32, ReportsTheRawFindData) {
  TempFolder folder;
  const std::string path = folder.Write("data.bin", "123");
  WIN32_FIND_DATAA expected{};
  HANDLE h = FindFirstFileA(path.c_str(), &expected);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  FindClose(h);

  platform::FolderSearch search(folder.Path() + "*");
  platform::FolderEntry entry;
  bool seen = false;
  while (search.Next(entry)) {
    if (entry.name != "data.bin") continue;
    seen = true;
    EXPECT_EQ(entry.attributes, expected.dwFileAttributes);
    EXPECT_EQ(entry.sizeLow, 3u);
    EXPECT_EQ(entry.lastWriteTime,
              (static_cast<std::uint64_t>(expected.ftLastWriteTime.dwHighDateTime) << 32) |
                  expected.ftLastWriteTime.dwLowDateTime);
    EXPECT_EQ(entry.creationTime,
              (static_cast<std::uint64_t>(expected.ftCreationTime.dwHighDateTime) << 32) |
                  expected.ftCreationTime.dwLowDateTime);
  }
  EXPECT_TRUE(seen);
}

}  // namespace

#endif  // _WIN32
