#include "platform/FolderSearch.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "fakes/ErrorMessage.h"
#include "fakes/FileFaults.h"
#include "fakes/TempFolder.h"
#include "platform/FileTime.h"
#include "platform/Files.h"

namespace {

std::map<std::string, platform::FolderEntry> Search(const std::string& pattern) {
  std::map<std::string, platform::FolderEntry> found;
  platform::FolderSearch search(pattern);
  for (platform::FolderEntry e; search.Next(e);) found[e.name] = e;
  return found;
}

// Now as a file time: 100 ns ticks since 1601-01-01 UTC.
std::uint64_t NowAsFileTime() {
  const auto since1970 = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::system_clock::now().time_since_epoch());
  return static_cast<std::uint64_t>((since1970.count() + platform::kSecondsFrom1601To1970) *
                                    platform::kFileTimeTicksPerSecond);
}

TEST(FolderSearch, ReportsFoldersFilesAndTheirSizes) {
  TempFolder folder;
  folder.Write("five.txt", "12345");
  std::filesystem::create_directory(std::filesystem::path(folder.PathOf("sub")));
  const auto found = Search(folder.Path() + "*");

  EXPECT_EQ(found.count("."), 1u);
  EXPECT_EQ(found.count(".."), 1u);
  ASSERT_EQ(found.count("five.txt"), 1u);
  ASSERT_EQ(found.count("sub"), 1u);

  const auto& file = found.at("five.txt");
  EXPECT_EQ(file.attributes & platform::kAttributeDirectory, 0u);
  EXPECT_EQ(file.attributes & platform::kAttributeArchive, platform::kAttributeArchive);
  EXPECT_EQ(file.attributes & platform::kAttributeHidden, 0u);
  EXPECT_EQ(file.attributes & platform::kAttributeReadOnly, 0u);
  EXPECT_EQ(file.sizeHigh, 0u);
  EXPECT_EQ(file.sizeLow, 5u);

  const auto& sub = found.at("sub");
  EXPECT_EQ(sub.attributes & platform::kAttributeDirectory, platform::kAttributeDirectory);
  EXPECT_EQ(sub.sizeHigh, 0u);
  EXPECT_EQ(sub.sizeLow, 0u);
}

TEST(FolderSearch, FileTimesAreTicksSince1601) {
  TempFolder folder;
  folder.Write("new.txt", "x");
  const auto entry = Search(folder.Path() + "*").at("new.txt");
  // Written just now: each time lies within an hour of the current time, which a wrong
  // epoch or unit would miss by far.
  const std::uint64_t now = NowAsFileTime();
  const std::uint64_t hour = 3600 * platform::kFileTimeTicksPerSecond;
  for (const std::uint64_t t : {entry.creationTime, entry.lastAccessTime, entry.lastWriteTime}) {
    EXPECT_GT(t, now - hour);
    EXPECT_LT(t, now + hour);
  }
}

TEST(FolderSearch, ReadOnlyWhenTheOwnerMayNotWrite) {
  TempFolder folder;
  const std::filesystem::path path(folder.Write("locked.txt", "x"));
  std::filesystem::permissions(path,
                               std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  const auto entry = Search(folder.Path() + "*").at("locked.txt");
  EXPECT_EQ(entry.attributes & platform::kAttributeReadOnly, platform::kAttributeReadOnly);
  std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

TEST(FolderSearch, PrefixBeforeTheStarKeepsMatchingNames) {
  TempFolder folder;
  for (const char* name : {"Jobs", "JobsOld.txt", "MyJobs", "Job"}) folder.Write(name, "");
  const auto found = Search(folder.PathOf("Jobs*"));
  EXPECT_EQ(found.size(), 2u);
  EXPECT_EQ(found.count("Jobs"), 1u);
  EXPECT_EQ(found.count("JobsOld.txt"), 1u);
}

TEST(FolderSearch, NothingToSearchGivesNoEntries) {
  TempFolder folder;
  folder.Write("plain.txt", "x");
  const std::string sep(1, platform::kPathSeparator);
  EXPECT_TRUE(Search(folder.PathOf("missing") + sep + "*").empty());
  EXPECT_TRUE(Search(folder.PathOf("plain.txt") + sep + "*").empty());
  EXPECT_TRUE(Search(folder.PathOf("zzz*")).empty());

  platform::FolderSearch search(folder.PathOf("missing") + sep + "*");
  platform::FolderEntry entry;
  EXPECT_FALSE(search.Next(entry));
  EXPECT_FALSE(search.Next(entry));  // asking again after the end stays at the end
}

// A search that fails once it is open raises, wherever it fails (before the first entry it
// fetches, between two, or where it would find the end): a shorter list must never pass for
// the folder. The entries before the failure were handed out; the search ends with it.
TEST(FolderSearch, AFailureAfterTheOpenRaisesAtEveryPosition) {
  TempFolder folder;
  for (const char* name : {"a.hvj", "b.hvj", "c.hvj"}) folder.Write(name, "");
  int calls = 0;
  {
    const FileFaults none(FileFaults::Call::NextEntry, 0);
    ASSERT_EQ(Search(folder.Path() + "*").size(), 5u);  // ".", ".." and the three files
    calls = none.Calls();
  }
#ifdef _WIN32
  const int firstFetched = 1;  // FindFirstFileA gives the first entry itself
  const std::string reason = "FindNextFileA failed: ";
#else
  const int firstFetched = 0;
  const std::string reason = "readdir failed: " + std::string(std::strerror(EIO));
#endif
  ASSERT_EQ(calls, 6 - firstFetched);  // every entry, then the end
  for (int failing = 1; failing <= calls; ++failing) {
    SCOPED_TRACE("fetch " + std::to_string(failing) + " fails");
    const FileFaults fault(FileFaults::Call::NextEntry, failing);
    platform::FolderSearch search(folder.Path() + "*");
    platform::FolderEntry entry;
    int handedOut = 0;
    const std::string message = MessageOf([&] {
      while (search.Next(entry)) ++handedOut;
    });
    EXPECT_EQ(message.substr(0, message.find(reason)),
              "Cannot list folder " + folder.Path() + ": ");
    EXPECT_NE(message.find(reason), std::string::npos) << message;
    EXPECT_EQ(handedOut, failing - 1 + firstFetched);
    EXPECT_FALSE(search.Next(entry));  // ended with the failure
  }
}

#ifndef _WIN32
// An entry whose status cannot be had ends the search as a failing readdir does, unless it is
// gone: then it is left out, as if the search had not seen it.
TEST(FolderSearch, AStatusThatFailsRaisesAndAGoneEntryIsLeftOut) {
  TempFolder folder;
  for (const char* name : {"a.hvj", "b.hvj", "c.hvj"}) folder.Write(name, "");
  for (int failing = 1; failing <= 5; ++failing) {
    SCOPED_TRACE("status " + std::to_string(failing) + " fails");
    const FileFaults fault(FileFaults::Call::EntryStatus, failing);
    platform::FolderSearch search(folder.Path() + "*");
    platform::FolderEntry entry;
    int handedOut = 0;
    EXPECT_EQ(MessageOf([&] {
                while (search.Next(entry)) ++handedOut;
              }),
              "Cannot list folder " + folder.Path() + ": stat failed: " + std::strerror(EIO));
    EXPECT_EQ(handedOut, failing - 1);
    EXPECT_FALSE(search.Next(entry));
  }

  platform::FolderSearch search(folder.Path() + "*");
  platform::FolderEntry entry;
  ASSERT_TRUE(search.Next(entry));
  std::remove(folder.PathOf(entry.name == "a.hvj" ? "b.hvj" : "a.hvj").c_str());
  std::set<std::string> rest;
  while (search.Next(entry)) rest.insert(entry.name);
  EXPECT_EQ(rest.size(), 3u);  // the five but the first and the one removed since
}

TEST(FolderSearch, DotNamesAreHiddenButNotDotAndDotDot) {
  TempFolder folder;
  folder.Write(".hidden", "");
  const auto found = Search(folder.Path() + "*");
  EXPECT_EQ(found.at(".hidden").attributes & platform::kAttributeHidden,
            platform::kAttributeHidden);
  EXPECT_EQ(found.at(".").attributes & platform::kAttributeHidden, 0u);
  EXPECT_EQ(found.at("..").attributes & platform::kAttributeHidden, 0u);
}

TEST(FolderSearch, PrefixComparesLetterCase) {
  TempFolder folder;
  folder.Write("jobs.txt", "");
  folder.Write("Jobs.txt", "");
  const auto found = Search(folder.PathOf("Jobs*"));
  EXPECT_EQ(found.size(), 1u);
  EXPECT_EQ(found.count("Jobs.txt"), 1u);
}
#endif

}  // namespace
