#include "listing/Directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fakes/ErrorMessage.h"
#include "fakes/FakeClock.h"
#include "fakes/TempFolder.h"
#include "foundation/DateTimeText.h"
#include "foundation/DateTimeValue.h"
#include "foundation/Exception.h"
#include "platform/Files.h"

namespace {

const std::string kExclusions = ":Temporary Internet Files:RECYCLER:";

std::uint64_t FileTime(std::uint32_t high, std::uint32_t low) {
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

// The last_write text the listing should write for `fileTime` with `clock`.
std::string LastWrite(std::uint64_t fileTime, const platform::Clock& clock) {
  return DateTimeText(LocalFromFileTime(fileTime, clock));
}

// Entries of a listing keyed by their decoded name.
std::map<std::string, std::string> ByName(const FDirectory& listing) {
  std::map<std::string, std::string> entries;
  for (int i = 0; i < listing.entries.LineCount(); ++i) {
    const std::string entry = listing.GetEntry(i);
    entries[Tokens(entry).Value("name")] = entry;
  }
  return entries;
}

// ---- The text of one entry -----------------------------------------------------------

struct EntryCase {
  const char* label;
  platform::FolderEntry entry;
  std::string path;
  std::string expected;
};

const std::uint64_t kWrite = 133'780'000'000'000'000ULL;  // a moment in 2024

platform::FolderEntry Found(std::string name, std::uint32_t attributes, std::uint64_t creation,
                            std::uint64_t access, std::uint64_t write, std::uint32_t sizeHigh,
                            std::uint32_t sizeLow) {
  return {std::move(name), attributes, creation, access, write, sizeHigh, sizeLow};
}

// "@" stands for the last_write text, "$" for the two halves of kWrite in `times`.
std::vector<EntryCase> EntryCases() {
  return {
      {"file of 5 bytes", Found("a.hvj", 0x20, FileTime(2, 1), FileTime(4, 3), kWrite, 0, 5),
       "C:\\Jobs\\",
       "name=a.hvj,type=file,size=5,path=C:\\Jobs\\,last_write=@,attrib=32,times={1,2,3,4,$,}"},
      {"4 GiB file", Found("big.bin", 0x20, 0, 0, kWrite, 1, 0), "/x/",
       "name=big.bin,type=file,size=4294967296,path=/x/,last_write=@,attrib=32,times={0,0,0,0,$,}"},
      {"largest size and times", Found("max", 0x20, ~0ULL, ~0ULL, kWrite, 0xFFFFFFFF, 0xFFFFFFFF),
       "/x/",
       "name=max,type=file,size=18446744073709551615,path=/x/,last_write=@,attrib=32,"
       "times={4294967295,4294967295,4294967295,4294967295,$,}"},
      {"folder has an empty size", Found("sub", 0x10, 0, 0, kWrite, 0, 4096), "/x/",
       "name=sub,type=dir,size=,path=/x/,last_write=@,attrib=16,times={0,0,0,0,$,}"},
      {"system before hidden, both after last_write", Found("s", 0x26, 0, 0, kWrite, 0, 0), "/x/",
       "name=s,type=file,size=0,path=/x/,last_write=@,system=true,hidden=true,attrib=38,"
       "times={0,0,0,0,$,}"},
      {"hidden folder", Found(".h", 0x12, 0, 0, kWrite, 0, 0), "/x/",
       "name=.h,type=dir,size=,path=/x/,last_write=@,hidden=true,attrib=18,times={0,0,0,0,$,}"},
      {"name and path escaped", Found("a,{b}#.txt", 0x4, 0, 0, kWrite, 0, 1), "C:\\J,obs{1}#\\",
       "name=a|<b>*.txt,type=file,size=1,path=C:\\J|obs<1>*\\,last_write=@,system=true,attrib=4,"
       "times={0,0,0,0,$,}"},
  };
}

TEST(DirectoryEntryText, ItemsInOrderWithExactValues) {
  FakeClock clock(2026, 12, 9, 14, 30);
  const std::string writeHalves = std::to_string(static_cast<std::uint32_t>(kWrite)) + "," +
                                  std::to_string(static_cast<std::uint32_t>(kWrite >> 32));
  for (const auto& c : EntryCases()) {
    SCOPED_TRACE(c.label);
    std::string expected = c.expected;
    expected.replace(expected.find('@'), 1, LastWrite(c.entry.lastWriteTime, clock));
    expected.replace(expected.find('$'), 1, writeHalves);
    EXPECT_EQ(EntryText(c.entry, c.path, clock), expected);
  }
}

TEST(DirectoryEntryText, DecodesBackToTheFoundValues) {
  FakeClock clock(2026, 12, 9);
  const platform::FolderEntry entry{
      "Report{1},#2.hvj", 0x20, FileTime(2, 1), FileTime(4, 3), FileTime(6, 5), 0, 7};
  Tokens tokens(EntryText(entry, "C:\\Backup Jobs\\", clock));
  EXPECT_EQ(tokens.Value("name"), "Report{1},#2.hvj");
  EXPECT_EQ(tokens.Value("type"), "file");
  EXPECT_EQ(tokens.Value("size"), "7");
  EXPECT_EQ(tokens.Value("path"), "C:\\Backup Jobs\\");
  EXPECT_EQ(tokens.Value("times"), "{1,2,3,4,5,6,}");
  EXPECT_EQ(tokens.Value("hidden"), "");
}

TEST(DirectoryEntryText, LastWriteFollowsTheClocksTimeZone) {
  FakeClock clock(2026, 12, 9);
  const platform::FolderEntry entry{"a", 0x20, 0, 0, kWrite, 0, 0};
  const std::string utc = Tokens(EntryText(entry, "/", clock)).Value("last_write");
  clock.zone.bias = -120;  // two hours east of UTC
  const std::string east = Tokens(EntryText(entry, "/", clock)).Value("last_write");
  EXPECT_NE(utc, east);
  EXPECT_EQ(east, LastWrite(kWrite, clock));
}

TEST(DirectoryEntryText, ForbiddenCharacterInNameOrPathFails) {
  FakeClock clock(2026, 12, 9);
  EXPECT_EQ(MessageOf([&] {
              EntryText({"a|b", 0x20}, "/x/", clock);
            }),
            "The character | is not allowed");
  EXPECT_EQ(MessageOf([&] {
              EntryText({"ab", 0x20}, "/x<y/", clock);
            }),
            "The character < is not allowed");
}

// Readers that need only an entry's type and name read them from the found entry: the same
// values as decoding its text gives, blanks at the end of a name dropped as decoding drops them.
TEST(DirectoryEntryText, TypeAndNameWithoutTheTextAreWhatDecodingItGives) {
  FakeClock clock(2026, 12, 9);
  const std::string names[] = {"a.hvj",     "job.hvj ",  "job.hvj\t \x01", " lead.hvj",
                               "a=b.hvj",   "a,b{c}#.hvj", "\"q\".hvj",      "{x}",
                               "   ",       "caf\xE9.hvj", "name=x.hvj",    "type=dir"};
  for (const std::string& name : names) {
    for (const std::uint32_t attributes : {0x20u, 0x10u, 0x16u}) {
      const platform::FolderEntry entry{name, attributes, 0, 0, kWrite, 0, 3};
      const Tokens decoded(EntryText(entry, "C:\\Backup Jobs\\", clock));
      EXPECT_EQ(EntryName(entry), decoded.Value("name")) << "[" << name << "]";
      EXPECT_EQ(EntryType(entry), decoded.Value("type")) << "[" << name << "] " << attributes;
    }
  }
}

// ---- Listing a real folder ---------------------------------------------------------------

class DirectoryListing : public ::testing::Test {
 protected:
  void MakeFolder(std::string_view name) const {
    std::filesystem::create_directories(std::filesystem::path(folder.PathOf(name)));
  }
  FDirectory List(const std::string& path) const { return FDirectory(path, kExclusions, clock); }

  TempFolder folder;
  FakeClock clock{2026, 12, 9, 14, 30};
};

TEST_F(DirectoryListing, FilesAndFoldersWithTheirItems) {
  folder.Write("a.hvj", "12345");
  MakeFolder("sub");
  const FDirectory listing = List(folder.Path());
  ASSERT_EQ(listing.entries.LineCount(), 2);  // "." and ".." are skipped
  auto entries = ByName(listing);

  Tokens file(entries.at("a.hvj"));
  EXPECT_EQ(file.Value("type"), "file");
  EXPECT_EQ(file.Value("size"), "5");
  EXPECT_EQ(file.Value("path"), folder.Path());
  EXPECT_EQ(std::stoul(file.Value("attrib")) & 0x10, 0u);
  EXPECT_FALSE(file.Value("last_write").empty());

  Tokens sub(entries.at("sub"));
  EXPECT_EQ(sub.Value("type"), "dir");
  EXPECT_EQ(sub.Value("size"), "");
  EXPECT_NE(entries.at("sub").find(",size=,path="), std::string::npos);
  EXPECT_EQ(std::stoul(sub.Value("attrib")) & 0x10, 0x10u);
}

TEST_F(DirectoryListing, EntriesFollowTheSearchOrderUnsorted) {
  for (const char* name : {"c.txt", "a.txt", "b.txt", "Z.txt", "y.txt"}) folder.Write(name, "");
  std::vector<std::string> searched;
  platform::FolderSearch search(folder.Path() + "*");
  for (platform::FolderEntry e; search.Next(e);) {
    if (e.name != "." && e.name != "..") searched.push_back(e.name);
  }
  const FDirectory listing = List(folder.Path());
  std::vector<std::string> listed;
  for (int i = 0; i < listing.entries.LineCount(); ++i) {
    listed.push_back(Tokens(listing.GetEntry(i)).Value("name"));
  }
  EXPECT_EQ(listed, searched);
}

TEST_F(DirectoryListing, ExcludedNamesComparedByteForByte) {
  MakeFolder("RECYCLER");
  folder.Write("Temporary Internet Files", "x");
  folder.Write("Temporary", "x");
  folder.Write("Internet Files", "x");
  folder.Write("CYCLER", "x");
  auto entries = ByName(List(folder.Path()));
  std::vector<std::string> names;
  for (const auto& [name, entry] : entries) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"CYCLER", "Internet Files", "Temporary"}));

  // Another case of the same name is listed (a separate folder: Windows would take both
  // spellings for one name).
  TempFolder other;
  std::filesystem::create_directory(std::filesystem::path(other.PathOf("recycler")));
  EXPECT_EQ(ByName(FDirectory(other.Path(), kExclusions, clock)).count("recycler"), 1u);
}

TEST_F(DirectoryListing, ExclusionsComeFromTheCaller) {
  folder.Write("keep", "");
  folder.Write("drop", "");
  folder.Write("RECYCLER", "");
  auto entries = ByName(FDirectory(folder.Path(), ":drop:", clock));
  EXPECT_EQ(entries.count("drop"), 0u);
  EXPECT_EQ(entries.count("keep"), 1u);
  EXPECT_EQ(entries.count("RECYCLER"), 1u);
}

TEST_F(DirectoryListing, StructureCharactersEscapedInNameAndPath) {
  const std::string sub = "p,{1}#";
  folder.Write(sub + platform::kPathSeparator + "a,b{c}#d.txt", "");
  const std::string path = folder.PathOf(sub) + platform::kPathSeparator;
  const FDirectory listing = List(path);
  ASSERT_EQ(listing.entries.LineCount(), 1);
  const std::string entry = listing.GetEntry(0);
  EXPECT_EQ(entry.rfind(
                "name=a|b<c>*d.txt,type=file,size=0,path=" + EscapeValue(path) + ",last_write=", 0),
            0u)
      << entry;
  EXPECT_NE(EscapeValue(path).find("p|<1>*"), std::string::npos);
  Tokens tokens(entry);
  EXPECT_EQ(tokens.Value("name"), "a,b{c}#d.txt");
  EXPECT_EQ(tokens.Value("path"), path);
}

TEST_F(DirectoryListing, PathWithoutSeparatorSearchesNamesBeginningWithItsLastPart) {
  MakeFolder("Jobs");
  folder.Write("Jobs" + std::string(1, platform::kPathSeparator) + "inside.hvj", "");
  folder.Write("JobsOld.txt", "abc");
  folder.Write("Other.txt", "");
  folder.Write("MyJobs", "");
  const std::string path = folder.PathOf("Jobs");
  auto entries = ByName(List(path));
  std::vector<std::string> names;
  for (const auto& [name, entry] : entries) {
    names.push_back(name);
    EXPECT_EQ(Tokens(entry).Value("path"), path);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Jobs", "JobsOld.txt"}));
}

// What ListEntries hands over for `path`, as the names that decoding the entries would give.
std::vector<std::string> NamesListed(const std::string& path, const std::string& exclusions) {
  std::vector<std::string> names;
  ListEntries(path, exclusions, [&](const platform::FolderEntry& e) {
    names.push_back(std::string(EntryType(e)) + " " + EntryName(e));
  });
  return names;
}

TEST_F(DirectoryListing, ListEntriesTakesWhatTheListingListsInItsOrder) {
  for (const char* name : {"c.hvj", "a.txt", "RECYCLER", "recycler", "b.hvj", "Temporary"})
    folder.Write(name, "x");
  MakeFolder("sub.hvj");
  for (const std::string& path : {folder.Path(), folder.PathOf("re")}) {
    const FDirectory listing = List(path);
    std::vector<std::string> fromTexts;
    for (int i = 0; i < listing.entries.LineCount(); ++i) {
      const Tokens entry(listing.GetEntry(i));
      fromTexts.push_back(entry.Value("type") + " " + entry.Value("name"));
    }
    EXPECT_EQ(NamesListed(path, kExclusions), fromTexts) << path;
  }
  EXPECT_EQ(NamesListed(folder.PathOf("missing") + platform::kPathSeparator, kExclusions),
            std::vector<std::string>{});
}

TEST_F(DirectoryListing, EmptyOrMissingFolderGivesNoEntries) {
  EXPECT_EQ(List(folder.Path()).entries.LineCount(), 0);
  EXPECT_EQ(List(folder.PathOf("missing") + platform::kPathSeparator).entries.LineCount(), 0);
  folder.Write("plain.txt", "x");
  EXPECT_EQ(List(folder.PathOf("plain.txt") + platform::kPathSeparator).entries.LineCount(), 0);
}

TEST_F(DirectoryListing, GetEntryOutsideTheListFails) {
  folder.Write("one", "");
  const FDirectory listing = List(folder.Path());
  EXPECT_EQ(MessageOf([&] { listing.GetEntry(1); }), "List index out of bounds (1)");
  EXPECT_EQ(MessageOf([&] { listing.GetEntry(-1); }), "List index out of bounds (-1)");
  EXPECT_THROW(listing.GetEntry(1), EStringListError);
}

TEST_F(DirectoryListing, FileOfFourGibibytes) {
  const std::string path = folder.Write("big.bin", "");
  std::error_code error;
  std::filesystem::resize_file(std::filesystem::path(path), 4294967296ULL, error);
  if (error) GTEST_SKIP() << "no sparse file of 4 GiB here: " << error.message();
  const auto entries = ByName(List(folder.Path()));
  EXPECT_EQ(Tokens(entries.at("big.bin")).Value("size"), "4294967296");
}

#ifndef _WIN32
// Names that begin with '.' stand for hidden entries here.
TEST_F(DirectoryListing, HiddenEntriesAreListedAndMarked) {
  folder.Write(".settings", "");
  MakeFolder(".cache");
  auto entries = ByName(List(folder.Path()));
  ASSERT_EQ(entries.size(), 2u);
  for (const auto& [name, entry] : entries) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Tokens(entry).Value("hidden"), "true");
    EXPECT_EQ(Tokens(entry).Value("system"), "");
    EXPECT_NE(entry.find(",hidden=true,attrib="), std::string::npos);
  }
}

// Only here can a file name hold a character that escaping refuses.
TEST_F(DirectoryListing, NameWithAReplacementCharacterFails) {
  folder.Write("a|b", "");
  EXPECT_EQ(MessageOf([&] { List(folder.Path()); }), "The character | is not allowed");
  EXPECT_EQ(MessageOf([&] { NamesListed(folder.Path(), kExclusions); }),
            "The character | is not allowed");
}

// The path is checked with the first entry, after its name, as making that entry's text
// checks it; an empty folder checks nothing.
TEST_F(DirectoryListing, PathWithAReplacementCharacterFailsAtTheFirstEntry) {
  const std::string path = folder.PathOf("p*q") + platform::kPathSeparator;
  MakeFolder("p*q");
  EXPECT_EQ(List(path).entries.LineCount(), 0);
  EXPECT_TRUE(NamesListed(path, kExclusions).empty());
  folder.Write("p*q/x>y", "");
  EXPECT_EQ(MessageOf([&] { List(path); }), "The character > is not allowed");
  EXPECT_EQ(MessageOf([&] { NamesListed(path, kExclusions); }), "The character > is not allowed");
  std::filesystem::remove(std::filesystem::path(folder.PathOf("p*q/x>y")));
  folder.Write("p*q/fine", "");
  EXPECT_EQ(MessageOf([&] { List(path); }), "The character * is not allowed");
  EXPECT_EQ(MessageOf([&] { NamesListed(path, kExclusions); }), "The character * is not allowed");
}
#endif

}  // namespace
