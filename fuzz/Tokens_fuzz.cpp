// Property strings from arbitrary bytes: decoding, the comma text of the items (SurvivesText
// never promises a round trip that changes them), and the escaping of values.

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "foundation/Exception.h"
#include "foundation/LineSearch.h"
#include "listing/Tokens.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

int FinalDepth(const std::string& text) {
  int depth = 0;
  for (char c : text) depth += (c == '{') - (c == '}');
  return depth;
}

// An item that the comma text writes bare and that decoding reads back unchanged.
bool IsPlain(const std::string& item) {
  if (item.empty()) return false;
  for (char c : item)
    if (IsBlank(c) || c == '"' || c == ',' || c == '{' || c == '}') return false;
  return true;
}

void CheckDecoding(const std::string& text) {
  try {
    const Tokens tokens(text);
    FUZZ_CHECK(FinalDepth(text) == 0);
    const auto& items = tokens.Items().Lines();
    for (const auto& item : items)
      FUZZ_CHECK(item.empty() || (!IsBlank(item.front()) && !IsBlank(item.back())));

    const std::string joined = tokens.Text();
    bool allPlain = true;
    for (const auto& item : items) {
      allPlain = allPlain && IsPlain(item);
      FUZZ_CHECK(linesearch::NeedsQuotes(item) == linesearch::NeedsQuotesScalar(item));
    }
    if (allPlain) FUZZ_CHECK(tokens.SurvivesText());
    if (tokens.SurvivesText()) FUZZ_CHECK(Tokens(joined).Items().Lines() == items);

    // The first item with a name is found by that name, and its value reads unescaped.
    for (const auto& item : items) {
      const auto equals = item.find('=');
      if (equals == std::string::npos) continue;
      FUZZ_CHECK(tokens.Value(item.substr(0, equals)) == UnescapeValue(item.substr(equals + 1)));
      break;
    }
    (void)tokens.Value(text);
  } catch (const Exception& e) {
    FUZZ_CHECK(e.Message() == "Tokens, {...} do not match");
    FUZZ_CHECK(FinalDepth(text) != 0);
  }
}

void CheckEscaping(const std::string& x) {
  const auto forbidden = x.find_first_of("<>|*");
  try {
    const std::string escaped = EscapeValue(x);
    FUZZ_CHECK(forbidden == std::string::npos);
    FUZZ_CHECK(escaped.size() == x.size());
    FUZZ_CHECK(escaped.find_first_of("{},#") == std::string::npos);
    FUZZ_CHECK(UnescapeValue(escaped) == x);

    // How a listing entry carries a file name: the escaped value reads back through a
    // decoded property string, less the blanks that end every item.
    const Tokens entry("name=" + escaped + ",type=file");
    std::string expected = x;
    while (!expected.empty() && IsBlank(expected.back())) expected.pop_back();
    FUZZ_CHECK(entry.Value("name") == expected);
    FUZZ_CHECK(entry.Value("TYPE") == "file");
  } catch (const Exception& e) {
    FUZZ_CHECK(forbidden != std::string::npos);
    FUZZ_CHECK(e.Message() == std::string("The character ") + x[forbidden] + " is not allowed");
  }
  const std::string unescaped = UnescapeValue(x);
  FUZZ_CHECK(unescaped.size() == x.size());
  FUZZ_CHECK(unescaped.find_first_of("<>|*") == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  FUZZ_CHECK(linesearch::NeedsQuotes(text) == linesearch::NeedsQuotesScalar(text));
  CheckDecoding(text);
  CheckEscaping(text);
  return 0;
}
