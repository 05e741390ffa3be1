#include "foundation/TStringList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/ErrorMessage.h"
#include "fakes/FileFaults.h"
#include "fakes/TempFolder.h"
#include "foundation/Exception.h"
#include "foundation/LineSearch.h"
#include "foundation/PaddedBuffer.h"

namespace {

TStringList ListOf(std::initializer_list<const char*> lines) {
  TStringList list;
  for (const char* line : lines) list.Append(line);
  return list;
}

TEST(TStringList, AppendReturnsTheOldCountAndKeepsDuplicates) {
  TStringList list;
  EXPECT_EQ(list.Append("a"), 0);
  EXPECT_EQ(list.Append("a"), 1);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "a"}));
  list.RemoveAll();
  list.RemoveAll();
  EXPECT_EQ(list.LineCount(), 0);
}

// A reader that remembers the generation sees every change, also one that takes the lines of
// another list; two lists never share a generation.
TEST(TStringList, EveryChangeGivesANewGenerationAndTakingLinesMovesThem) {
  TStringList list = ListOf({"a", "b"});
  TStringList other = ListOf({"c"});
  EXPECT_NE(list.Generation(), other.Generation());
  std::vector<std::uint64_t> seen{list.Generation(), other.Generation()};
  list.TakeLines(other);
  EXPECT_EQ(list.Lines(), std::vector<std::string>{"c"});
  EXPECT_EQ(other.LineCount(), 0);
  seen.push_back(list.Generation());
  seen.push_back(other.Generation());
  list.Append("d");
  seen.push_back(list.Generation());
  list.ReplaceLine(0, "e");
  seen.push_back(list.Generation());
  list.RemoveLine(0);
  seen.push_back(list.Generation());
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end()), seen.end());
}

TEST(TStringList, IndexOutsideTheListNamesTheIndexAndChangesNothing) {
  TStringList list = ListOf({"a", "b"});
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Line(22); }), "List index out of bounds (22)");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Line(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.ReplaceLine(2, "x"); }),
            "List index out of bounds (2)");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.RemoveLine(2); }),
            "List index out of bounds (2)");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "b"}));
  list.RemoveLine(0);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"b"}));
}

TEST(TStringList, NameLookupIgnoresCaseAndUsesTheFirstEquals) {
  const TStringList list =
      ListOf({"no equals here", "Type=file", "a = 1", "=empty name", "type=second", "x=y=z"});
  EXPECT_EQ(list.FindName("TYPE"), 1);
  EXPECT_EQ(list.ValueOf("type"), "file");
  EXPECT_EQ(list.ValueOf("a"), "");      // the name is "a " with its space
  EXPECT_EQ(list.ValueOf("a "), " 1");
  EXPECT_EQ(list.FindName(""), 3);       // the empty name matches a line beginning with '='
  EXPECT_EQ(list.ValueOf(""), "empty name");
  EXPECT_EQ(list.ValueOf("x"), "y=z");
  EXPECT_EQ(list.FindName("x=y"), -1);   // a name holding '=' never matches
  EXPECT_EQ(list.FindName("no equals here"), -1);
  EXPECT_EQ(list.ValueOf("missing"), "");
}

TEST(TStringList, SetValueOfReplacesAppendsOrRemovesTheFirstMatchOnly) {
  TStringList list = ListOf({"Type=file", "type=dup", "other"});
  list.SetValueOf("TYPE", "dir");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"TYPE=dir", "type=dup", "other"}));
  list.SetValueOf("size", "5");
  EXPECT_EQ(list.Line(3), "size=5");
  list.SetValueOf("type", "");
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"type=dup", "other", "size=5"}));
  list.SetValueOf("absent", "");
  EXPECT_EQ(list.LineCount(), 3);
}

TEST(TStringList, CommaJoinedQuotesWhatWouldNotReadBack) {
  struct Case {
    std::vector<std::string> lines;
    std::string expected;
  };
  const Case cases[] = {
      {{"a", "b c", "say \"x\""}, "a,\"b c\",\"say \"\"x\"\"\""},
      {{""}, "\"\""},
      {{"", ""}, ","},
      {{}, ""},
      {{"a,b", "tab\there"}, "\"a,b\",\"tab\there\""},
      {{std::string("ok\0 after", 9)}, std::string("ok\0 after", 9)},  // search stops at NUL
      // Longer lines are searched 16 bytes at a time: what decides lies before, in and
      // after the first such piece.
      {{"0123456789abcdef0123 x"}, "\"0123456789abcdef0123 x\""},
      {{"0123456789abcde,"}, "\"0123456789abcde,\""},
      {{"0123456789abcdef\x7f\x80\xe9\xff"}, "0123456789abcdef\x7f\x80\xe9\xff"},
      {{std::string("0123456789abcdefg\0 \"", 20)}, std::string("0123456789abcdefg\0 \"", 20)},
      {{std::string("0123456789\0abcdef ", 18)}, std::string("0123456789\0abcdef ", 18)},
      {{"0123456789abcdef0123456789abcdef\x1f"}, "\"0123456789abcdef0123456789abcdef\x1f\""},
  };
  for (const Case& c : cases) {
    TStringList list;
    for (const auto& line : c.lines) {
      list.Append(line);
      EXPECT_EQ(linesearch::NeedsQuotes(line), linesearch::NeedsQuotesScalar(line))
          << ::testing::PrintToString(line);
    }
    EXPECT_EQ(list.CommaJoined(), c.expected) << ::testing::PrintToString(c.lines);
  }
}

TEST(TStringList, LoadLinesSplitsAtEveryKindOfLineBreakAndStopsAtNul) {
  struct Case {
    const char* label;
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"no final break", "a\r\nb", {"a", "b"}},
      {"final break adds nothing", "a\r\nb\r\n", {"a", "b"}},
      {"LF CR is two breaks", "x\n\ry", {"x", "", "y"}},
      {"lone CR", "x\ry", {"x", "y"}},
      {"CR CR", "x\r\ry", {"x", "", "y"}},
      {"empty file", "", {}},
      {"NUL ends the text", std::string("ab\0cd\r\nef", 9), {"ab"}},
      {"NUL at a line start", std::string("ab\r\n\0cd", 7), {"ab"}},
      {"byte order mark kept", "\xEF\xBB\xBFx", {"\xEF\xBB\xBFx"}},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  // Lines of every length up to 71, so that each kind of break falls at every place of the
  // blocks that the search looks at together.
  Case lengths{"lines of 0 to 71 characters", "", {}};
  for (int length = 0; length < 72; ++length) {
    lengths.lines.push_back(std::string(static_cast<std::size_t>(length), static_cast<char>('a' + length % 26)));
    lengths.bytes += lengths.lines.back() + (length % 3 == 0 ? "\r\n" : length % 3 == 1 ? "\n" : "\r");
  }
  all.push_back(lengths);
  // Many short lines: a CR LF falls across the end of a block, and whole blocks of breaks lie
  // before the line read.
  Case many{"400 short lines", "", {}};
  const char* const breaks[] = {"\r\n", "\r", "\n", "\r\n"};
  for (int i = 0; i < 400; ++i) {
    many.lines.push_back(std::string(static_cast<std::size_t>(1 + i % 5), 'x'));
    many.bytes += many.lines.back() + breaks[i % 4];
  }
  all.push_back(many);
  TempFolder folder;
  for (const Case& c : all) {
    // The search for line breaks finds what its scalar twin finds, from every place.
    for (std::size_t from = 0; from <= c.bytes.size(); ++from) {
      ASSERT_EQ(linesearch::FirstBreak(c.bytes, from), linesearch::FirstBreakScalar(c.bytes, from))
          << c.label << ", from " << from;
    }
    TStringList list = ListOf({"old"});
    const std::string path = folder.Write("f.txt", c.bytes);
    list.LoadLines(path);
    EXPECT_EQ(list.Lines(), c.lines) << c.label;
    // One line alone reads the same, and a line past the last is out of bounds as in a list.
    const int count = static_cast<int>(c.lines.size());
    for (int i = 0; i < count; ++i) EXPECT_EQ(TStrings::LoadLine(path, i), c.lines[i]) << c.label;
    for (const int outside : {count, -1}) {
      EXPECT_EQ(MessageOf<EStringListError>([&] { TStrings::LoadLine(path, outside); }),
                "List index out of bounds (" + std::to_string(outside) + ")")
          << c.label;
    }
  }
}

// One line is read a piece at a time: every kind of break, and a NUL, at every place around
// the ends of pieces of the usual sizes, reads as LoadLines reads the whole file.
TEST(TStringList, LoadLineAgreesWithLoadLinesAcrossTheEndsOfPieces) {
  TempFolder folder;
  const std::string stops[] = {"\r\n", "\r", "\n", "\n\r", "\r\r", std::string(1, '\0'),
                               std::string("\r\0", 2)};
  for (const std::size_t piece : {std::size_t{4096}, std::size_t{16384}, std::size_t{65536}}) {
    for (std::size_t length = piece - 3; length <= piece + 2; ++length) {
      for (const std::string& stop : stops) {
        const std::string bytes = std::string(length, 'a') + stop + "b\r\nc";
        const std::string path = folder.Write("f.txt", bytes);
        TStringList whole;
        whole.LoadLines(path);
        const int count = whole.LineCount();
        for (int i = 0; i <= count; ++i) {
          SCOPED_TRACE("line " + std::to_string(i) + " of " + std::to_string(length) +
                       " bytes and a stop of " + std::to_string(stop.size()));
          if (i < count)
            EXPECT_EQ(TStrings::LoadLine(path, i), whole.Line(i));
          else
            EXPECT_THROW(TStrings::LoadLine(path, i), EStringListError);
        }
      }
    }
  }
}

// Reading one line stops at its end: what follows is neither read nor kept, so a read that
// would fail there is never made.
TEST(TStringList, LoadLineReadsNoFurtherThanTheEndOfItsLine) {
  TempFolder folder;
  std::string bytes;
  for (int i = 1; i <= 23; ++i) bytes += "line " + std::to_string(i) + "\r\n";
  bytes += std::string(1 << 20, 'x');  // a megabyte more, without a break
  const std::string path = folder.Write("job.hvj", bytes);
  {
    const FileFaults none(FileFaults::Call::Read, 0);
    EXPECT_EQ(TStrings::LoadLine(path, 22), "line 23");
    EXPECT_EQ(none.Calls(), 1);
  }
  {
    const FileFaults fault(FileFaults::Call::Read, 2);
    EXPECT_EQ(TStrings::LoadLine(path, 22), "line 23");
  }
  // A line past the last still reads to the end, and a failing read there is the error.
  const FileFaults fault(FileFaults::Call::Read, 2);
  EXPECT_EQ(MessageOf<EReadError>([&] { TStrings::LoadLine(path, 24); }), "Stream read error");
}

// The fast searches against their scalar twins (foundation/LineSearch.h), on the same bytes:
// every byte value at every place of the pieces they look at together (16 bytes, or 64 for
// LoadLine's), and pieces that begin and end anywhere. Where the processor has no vector
// version, the twin is what runs, and the tests above hold it to the rules.

std::string Spelled(std::size_t length, std::size_t place, int value, char filler = 'x') {
  std::string text(length, filler);
  text[place] = static_cast<char>(value);
  return text;
}

// Bytes with every kind of stop among ordinary ones and at no regular distance, so that one
// falls at every place of a piece for one start or another.
std::string MixedBytes(std::size_t count) {
  const std::string_view kinds("a\rb\nc\0\xff d\x80\r\n\x1f\"", 14);
  std::string bytes;
  std::uint32_t state = 20280101;
  for (std::size_t i = 0; i < count; ++i) {
    state = state * 1103515245u + 12345u;
    bytes += kinds[(state >> 16) % kinds.size()];
  }
  return bytes;
}

// Only a PaddedBuffer gives out bytes to search a block at a time.
template <std::size_t Capacity>
linesearch::PaddedBytes Holding(linesearch::PaddedBuffer<Capacity>& buffer,
                                std::string_view bytes) {
  std::copy(bytes.begin(), bytes.end(), buffer.Room());
  return buffer.Filled(bytes.size());
}

TEST(LineSearch, BreaksAndQuotesFoundAsTheScalarTwinsFindThemForEveryByteAtEveryPlace) {
  for (std::size_t length = 1; length <= 50; ++length) {
    for (std::size_t place = 0; place < length; ++place) {
      for (int value = 0; value < 256; ++value) {
        const std::string line = Spelled(length, place, value);
        ASSERT_EQ(linesearch::NeedsQuotes(line), linesearch::NeedsQuotesScalar(line))
            << "byte " << value << " at " << place << " of " << length;
        for (const std::size_t from : {std::size_t{0}, place, length}) {
          ASSERT_EQ(linesearch::FirstBreak(line, from), linesearch::FirstBreakScalar(line, from))
              << "byte " << value << " at " << place << " of " << length << ", from " << from;
        }
      }
    }
  }
  // A NUL ends a line's text: before or after what decides the quotes, in one piece or
  // another.
  for (const std::size_t length : {15, 16, 17, 31, 32, 33, 48}) {
    for (std::size_t nul = 0; nul < length; ++nul) {
      for (std::size_t place = 0; place < length; ++place) {
        for (const char decides : {' ', '"', ',', '\x01', '\x7f', 'x'}) {
          std::string line = Spelled(length, place, decides);
          line[nul] = '\0';
          ASSERT_EQ(linesearch::NeedsQuotes(line), linesearch::NeedsQuotesScalar(line))
              << "'" << decides << "' at " << place << ", NUL at " << nul << " of " << length;
        }
      }
    }
  }
}

TEST(LineSearch, LineEndsOfABlockFoundAsTheScalarTwinFindsThem) {
  constexpr std::size_t kBlock = linesearch::kBlock;
  // Every byte value at every place of a block, among ordinary bytes and among line ends, the
  // data ending just before it, just after it, with the block or after it.
  linesearch::PaddedBuffer<2 * kBlock> buffer;
  for (const char filler : {'x', '\n'}) {
    for (std::size_t place = 0; place < kBlock; ++place) {
      for (int value = 0; value < 256; ++value) {
        const std::string block = Spelled(2 * kBlock, place, value, filler);
        for (const std::size_t size : {place, place + 1, kBlock, 2 * kBlock}) {
          const linesearch::PaddedBytes bytes =
              Holding(buffer, std::string_view(block).substr(0, size));
          ASSERT_EQ(linesearch::StopsIn(bytes, bytes.begin()),
                    linesearch::StopsInScalar(bytes, bytes.begin()))
              << "byte " << value << " at " << place << " among '" << filler << "', " << size
              << " bytes";
        }
      }
    }
  }
  // Blocks from every place of the data, for data of every length up to three blocks.
  const std::string mixed = MixedBytes(3 * kBlock);
  linesearch::PaddedBuffer<3 * kBlock> wide;
  for (std::size_t size = 0; size <= mixed.size(); ++size) {
    const linesearch::PaddedBytes bytes = Holding(wide, std::string_view(mixed).substr(0, size));
    for (std::size_t from = 0; from <= size; ++from) {
      ASSERT_EQ(linesearch::StopsIn(bytes, bytes.begin() + from),
                linesearch::StopsInScalar(bytes, bytes.begin() + from))
          << "from " << from << " of " << size;
    }
  }
}

TEST(TStringList, SaveLinesEndsEveryLineWithCrLfAndRoundTrips) {
  TempFolder folder;
  const std::string path = folder.PathOf("store.dat");
  TStringList list = ListOf({"a", "", "cmd=12/9/2026 2:30:00 PM"});
  list.SaveLines(path);
  EXPECT_EQ(folder.Read("store.dat"), "a\r\n\r\ncmd=12/9/2026 2:30:00 PM\r\n");
  TStringList back;
  back.LoadLines(path);
  EXPECT_EQ(back.Lines(), list.Lines());

  TStringList().SaveLines(path);
  EXPECT_EQ(folder.Read("store.dat"), "");
}

TEST(TStringList, FileErrorsNameThePathAndLeaveListAndFileAlone) {
  TempFolder folder;
  TStringList list = ListOf({"kept"});
  const std::string missing = folder.PathOf("missing.dat");
  EXPECT_EQ(MessageOf<EFOpenError>([&] { list.LoadLines(missing); }),
            "Cannot open file " + missing);
  EXPECT_EQ(MessageOf<EFOpenError>([&] { TStrings::LoadLine(missing, 0); }),
            "Cannot open file " + missing);
  EXPECT_EQ(list.Line(0), "kept");

  // Saving into a folder that does not exist cannot create the file.
  const std::string nowhere = folder.PathOf("no-such-folder/store.dat");
  EXPECT_EQ(MessageOf<EFCreateError>([&] { list.SaveLines(nowhere); }),
            "Cannot create file " + nowhere);

  // A failed save leaves the previous file whole and no temporary file behind.
  const std::string path = folder.Write("store.dat", "previous\r\n");
  folder.Write("store.dat.tmp/blocker", "");  // the temporary name is taken by a folder
  EXPECT_EQ(MessageOf<EFCreateError>([&] { list.SaveLines(path); }), "Cannot create file " + path);
  EXPECT_EQ(folder.Read("store.dat"), "previous\r\n");
}

// A read or write that fails after the file was opened: the list keeps its lines, the file
// keeps its contents, and neither passes a part for the whole.
TEST(TStringList, FailedReadOrWriteRaisesAStreamErrorAndChangesNothing) {
  TempFolder folder;
  const std::string path = folder.Write("store.dat", "on disk\r\n");
  TStringList list = ListOf({"kept"});
  {
    const FileFaults fault(FileFaults::Call::Read, 2);  // the one that would find the end
    EXPECT_EQ(MessageOf<EReadError>([&] { list.LoadLines(path); }), "Stream read error");
  }
  EXPECT_EQ(list.Lines(), std::vector<std::string>{"kept"});
  {
    const FileFaults fault(FileFaults::Call::Write, 1);
    EXPECT_EQ(MessageOf<EWriteError>([&] { list.SaveLines(path); }), "Stream write error");
  }
  EXPECT_EQ(folder.Read("store.dat"), "on disk\r\n");
  list.LoadLines(path);
  EXPECT_EQ(list.Lines(), std::vector<std::string>{"on disk"});
}

}  // namespace

#ifdef _WIN32
#include <fstream>

namespace {

// Job files are read while the backup application may be writing them: on Windows a file
// open elsewhere for writing cannot be loaded, and the next attempt succeeds once it is closed.
TEST(TStringList, LoadLinesRefusesAFileOpenElsewhereForWriting) {
  TempFolder folder;
  const std::string path = folder.Write("job.hvj", "line\r\n");
  TStringList list;
  {
    std::ofstream writer(path, std::ios::app);
    ASSERT_TRUE(writer.is_open());
    EXPECT_EQ(MessageOf<EFOpenError>([&] { list.LoadLines(path); }), "Cannot open file " + path);
    EXPECT_EQ(MessageOf<EFOpenError>([&] { TStrings::LoadLine(path, 0); }),
              "Cannot open file " + path);
  }
  list.LoadLines(path);
  EXPECT_EQ(list.Line(0), "line");
}

}  // namespace
#endif
