#include "listing/Tokens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/ErrorMessage.h"
#include "foundation/Exception.h"
#include "foundation/LineSearch.h"

namespace {

struct DecodeCase {
  const char* label;
  std::string text;
  std::vector<std::string> items;
};

const DecodeCase kDecodeCases[] = {
    {"listing entry", "name=a.hvj,type=file,size=0", {"name=a.hvj", "type=file", "size=0"}},
    {"outer pair dropped, inner group kept", "{x=1,y={a,b}}", {"x=1", "y={a,b}"}},
    {"outer pair of a plain list", "{a,b}", {"a", "b"}},
    {"two groups are no outer pair", "{a},{b}", {"a", "b"}},
    {"blanks trimmed, quotes dropped", "a=1, b = 2 ,\"c=3\"", {"a=1", "b = 2", "c=3"}},
    {"empty items kept, final comma adds none", "a,,b,", {"a", "", "b"}},
    {"lone comma", ",", {""}},
    {"leading empty item", ",a", {"", "a"}},
    {"one character", "x", {"x"}},
    {"empty text", "", {}},
    {"empty braces", "{}", {}},
    {"leading space stops the group rules", " {a,b}", {"{a,b}"}},
    {"quotes do not protect commas", "\"a,b\",c", {"", "b\"", "c"}},
    {"doubled quote stays doubled", "\"q=say \"\"hi\"\"\"", {"q=say \"\"hi\"\""}},
    {"last character dropped even if not closing", "{a} ,b", {"a}", "b"}},
    {"negative depth inside a balanced text", "}a{", {"}a{"}},
    {"commas at negative depth separate", "}a,b{", {"}a", "b{"}},
    {"one-character braced item", "{a}x,\"", {"a}", ""}},
    {"control characters trimmed, inner kept", "\t\r\n a b\x01 ,\x1f", {"a b", ""}},
    {"duplicates kept", "a=1,a=1", {"a=1", "a=1"}},
    {"item without '=' kept", "plain,k=v", {"plain", "k=v"}},
    {"schedule line",
     "do_schedule=1,days={1,0,1},time=14:30,cmd=\"C:\\App\\run.exe\"",
     {"do_schedule=1", "days={1,0,1}", "time=14:30", "cmd=\"C:\\App\\run.exe\""}},
    {"bytes above 127 are not blanks", "\xe9x\xe9", {"\xe9x\xe9"}},
};

TEST(TokensDecode, SplitsTrimsAndUnwrapsItems) {
  for (const auto& c : kDecodeCases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Tokens(c.text).Items().Lines(), c.items);
  }
}

TEST(TokensDecode, UnbalancedBracesFail) {
  for (const std::string text : {"{a,b", "{", "}", "a}", "{{a}", "x{y}}z"}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(MessageOf([&] { Tokens t(text); }), "Tokens, {...} do not match");
  }
}

TEST(TokensDecode, FailureIsPlainException) { EXPECT_THROW(Tokens("{a,b"), Exception); }

TEST(TokensDecode, CallersTextIsUntouched) {
  const std::string text = "{a=1,b=2}";
  Tokens tokens(text);
  EXPECT_EQ(text, "{a=1,b=2}");
}

TEST(TokensValue, ReadsFirstMatchIgnoringCaseAndUnescapes) {
  Tokens tokens("name=Report<1>|*2.txt,type=file,Type=dir,empty=, b = 2,cmd=a|b");
  EXPECT_EQ(tokens.Value("NAME"), "Report{1},#2.txt");
  EXPECT_EQ(tokens.Value("type"), "file");
  EXPECT_EQ(tokens.Value("size"), "");
  EXPECT_EQ(tokens.Value("empty"), "");
  EXPECT_EQ(tokens.Value("b"), "");  // the name is "b " with its space
  EXPECT_EQ(tokens.Value("b "), " 2");
  EXPECT_EQ(tokens.Value("cmd"), "a,b");  // unescaped even when never escaped
}

TEST(TokensValue, GroupValueOfAListingEntry) {
  Tokens tokens("name=x,times={1,2,3,4,5,6,},attrib=32");
  EXPECT_EQ(tokens.Value("times"), "{1,2,3,4,5,6,}");
  EXPECT_EQ(tokens.Value("attrib"), "32");
}

TEST(TokensValue, SeveralAtOnceAsEachAlone) {
  Tokens tokens("Type=dir,name=x<y>,type=file,novalue,cmd=a|b");
  const auto values = tokens.Values<4>({"type", "cmd", "size", "NAME"});
  EXPECT_EQ(values, (std::array<std::string, 4>{"dir", "a,b", "", "x{y}"}));
  for (std::size_t i = 0; i < values.size(); ++i)
    EXPECT_EQ(values[i], tokens.Value(std::string(std::array{"type", "cmd", "size", "NAME"}[i])));
}

struct TextCase {
  const char* label;
  std::string decoded;
  std::string text;
};

const TextCase kTextCases[] = {
    {"quoted when holding a space or quote",
     "do=1,\"p=C:\\Program Files\\App\\run.exe /job\",q=say \"hi\"",
     "do=1,\"p=C:\\Program Files\\App\\run.exe /job\",\"q=say \"\"hi\"\"\""},
    {"one empty item", ",", "\"\""},
    {"two empty items", ",,", ","},
    {"no items", "", ""},
    {"item holding a comma quoted", "x=1,y={a,b}", "x=1,\"y={a,b}\""},
    {"brace item written bare", " {a}", "{a}"},
};

TEST(TokensText, CommaTextOfTheItems) {
  for (const auto& c : kTextCases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Tokens(c.decoded).Text(), c.text);
  }
}

TEST(TokensText, RoundTripsPlainItemsButNotQuotesOrBareBraces) {
  const std::string line = "do_schedule=1,days=0110,time=14:30,\"cmd=C:\\My App\\x.exe /a\"";
  Tokens first(line);
  Tokens second(first.Text());
  EXPECT_EQ(second.Items().Lines(), first.Items().Lines());

  // A doubled quote comes back doubled again.
  EXPECT_EQ(Tokens(Tokens("q=say \"hi\"").Text()).Items().Lines(),
            std::vector<std::string>{"q=say \"\"hi\"\""});
  // "{a}" is written bare, and decoding it strips the braces.
  EXPECT_EQ(Tokens(Tokens(" {a}").Text()).Items().Lines(), std::vector<std::string>{"a"});
}

// Where SurvivesText holds, decoding Text() gives the same items; where it does not, it may
// not (balanced braces often do, but are not looked into).
TEST(TokensText, SurvivesTextOnlyWhereTheRoundTripGivesTheSameItems) {
  struct Case {
    std::string line;
    bool survives, same;
  };
  const Case cases[] = {
      {"do_schedule=1,days=0110,time=14:30,\"cmd=C:\\My App\\x.exe /a\"", true, true},
      {"a,,b", true, true},
      {"", true, true},
      {",", true, true},
      {"a=\tb\x01,c", true, true},
      {" {a}", false, false},  // the item "{a}", which Text() writes bare
      {"q=say \"hi\"", false, false},
      {"x=1,y={a,b}", false, true},
      {"x={a}", false, true},
      {",,", false, false},
      {"a, ", false, false},
      {"x=}a{", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const Tokens first(c.line);
    EXPECT_EQ(first.SurvivesText(), c.survives);
    EXPECT_EQ(Tokens(first.Text()).Items().Lines() == first.Items().Lines(), c.same);
  }
}

// Text() decides an item's quotes 16 bytes at a time where the processor can: with what
// decides them at every place around the ends of those pieces, an item is quoted exactly where
// the plain byte-by-byte rule says, and where SurvivesText holds the items come back the same.
TEST(TokensText, QuotedAsTheScalarRuleSaysAtEveryPlaceOfTheSearchedPieces) {
  for (std::size_t length = 14; length <= 34; ++length) {
    for (std::size_t place = 1; place + 1 < length; ++place) {  // blanks at the ends are trimmed
      for (const char c : {' ', '\t', '\x01', '\x1f', '\0', '"', '\x7f', '\xe9', 'v'}) {
        std::string item(length, 'v');
        item[place] = c;
        SCOPED_TRACE(::testing::PrintToString(item));
        const Tokens first("do=1," + item);
        ASSERT_EQ(first.Items().Line(1), item);
        const std::string text = first.Text();
        EXPECT_EQ(text[5] == '"', linesearch::NeedsQuotesScalar(item));
        if (first.SurvivesText()) {
          EXPECT_EQ(Tokens(text).Items().Lines(), first.Items().Lines());
        }
      }
    }
  }
}

struct EscapeCase {
  const char* label;
  std::string text;
  std::string escaped;
};

const EscapeCase kEscapeCases[] = {
    {"all four", "C:\\Data{1},#2", "C:\\Data<1>|*2"},
    {"nothing to do", "plain name.hvj", "plain name.hvj"},
    {"empty", "", ""},
    {"repeated", "{{,,##}}", "<<||**>>"},
};

TEST(EscapeValue, ReplacesStructureCharactersAndRoundTrips) {
  for (const auto& c : kEscapeCases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(EscapeValue(c.text), c.escaped);
    EXPECT_EQ(UnescapeValue(EscapeValue(c.text)), c.text);
  }
}

TEST(EscapeValue, ReportsTheFirstForbiddenCharacter) {
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {"a<b", "The character < is not allowed"}, {"a>b", "The character > is not allowed"},
      {"a|b", "The character | is not allowed"}, {"a*b", "The character * is not allowed"},
      {"{*", "The character * is not allowed"},  // the '<' made from '{' is never reported
      {"*{", "The character * is not allowed"},  {"x|y<z", "The character | is not allowed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(MessageOf([&] { EscapeValue(c.text); }), c.message);
  }
  EXPECT_THROW(EscapeValue("<"), Exception);
}

TEST(UnescapeValue, ChangesEveryReplacementCharacter) {
  EXPECT_EQ(UnescapeValue("cmd /c a|b >out <in *"), "cmd /c a,b }out {in #");
  EXPECT_EQ(UnescapeValue("{},#"), "{},#");
}

}  // namespace
