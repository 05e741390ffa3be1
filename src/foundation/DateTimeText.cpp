#include "foundation/DateTimeText.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <cstddef>
#include <string>

#include "foundation/DateTimeFormat.h"

namespace {

constexpr std::size_t kMaxText = 256;
// The picture handed in is level 1; a picture named from it is level 2, and a picture named
// from level 2 renders nothing, which ends any cycle of pictures naming each other.
constexpr int kDeepestLevel = 2;

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "00" to "99", one after the other.
constexpr std::array<char, 200> kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (int n = 0; n < 100; ++n) {
    pairs[2 * n] = static_cast<char>('0' + n / 10);
    pairs[2 * n + 1] = static_cast<char>('0' + n % 10);
  }
  return pairs;
}();

// What a character of a picture is to the renderer, looked up by its code.
struct CharClass {
  char token = '\0';      // 0: copied as it stands; else the letter in upper case, or '/', ':',
                          // '"', '\'' themselves
  bool formsRuns = false;  // a run of the same character is one token
};
constexpr std::array<CharClass, 256> kClassOf = [] {
  std::array<CharClass, 256> table{};
  for (char c = 'A'; c <= 'Z'; ++c) {
    table[static_cast<unsigned char>(c)].token = c;
    table[static_cast<unsigned char>(c - 'A' + 'a')].token = c;
  }
  for (const char c : {'/', ':', '"', '\''}) table[static_cast<unsigned char>(c)].token = c;
  for (const char c : {'C', 'D', 'E', 'G', 'H', 'M', 'N', 'S', 'T', 'Y', 'Z'}) {
    table[static_cast<unsigned char>(c)].formsRuns = true;
    table[static_cast<unsigned char>(c - 'A' + 'a')].formsRuns = true;
  }
  return table;
}();

// Does the picture hold `word` at `at`, letters compared without regard to case?
bool HasWordAt(std::string_view picture, std::size_t at, std::string_view word) {
  if (picture.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (Upper(picture[at + i]) != Upper(word[i])) return false;
  return true;
}

// The length of the am/pm marker that starts at `at`: 5 for "AM/PM", 3 for "A/P", 4 for
// "AMPM" (letters in either case), 0 when there is none. The three differ by their second
// or third character, so at most one of them can start there.
std::size_t MarkerLength(std::string_view picture, std::size_t at) {
  const std::size_t left = picture.size() - at;
  if (left < 3 || Upper(picture[at]) != 'A') return 0;
  const char second = Upper(picture[at + 1]);
  if (second == '/') return Upper(picture[at + 2]) == 'P' ? 3 : 0;
  if (second != 'M' || left < 4) return 0;
  if (picture[at + 2] == '/')
    return left >= 5 && Upper(picture[at + 3]) == 'P' && Upper(picture[at + 4]) == 'M' ? 5 : 0;
  return Upper(picture[at + 2]) == 'P' && Upper(picture[at + 3]) == 'M' ? 4 : 0;
}

// Does an hour token that ends at `from` go with an am/pm marker later in the picture? The
// search stops at the next hour or at the first "a" outside quotes.
bool HourHasMarker(std::string_view picture, std::size_t from) {
  bool quoted = false;
  for (std::size_t i = from; i < picture.size(); ++i) {
    const char c = picture[i];
    if (c == 'h' || c == 'H') return false;
    if (c == '"' || c == '\'') {
      quoted = !quoted;
    } else if (!quoted && (c == 'a' || c == 'A')) {
      return MarkerLength(picture, i) != 0;
    }
  }
  return false;
}

class Renderer {
 public:
  explicit Renderer(DateTimeValue value) : parts_(SplitDateTime(value)) {}

  void Render(std::string_view picture, int level);
  std::string Text() const { return std::string(buffer_, length_); }

 private:
  void Append(char c) {
    if (length_ < kMaxText) buffer_[length_++] = c;
  }
  void Append(std::string_view text) {
    const std::size_t n = std::min(text.size(), kMaxText - length_);
    std::memcpy(buffer_ + length_, text.data(), n);
    length_ += n;
  }
  void AppendNumber(unsigned number, int minDigits);
  std::string_view MonthName(const std::array<std::string, 12>& names) const {
    return date_.month >= 1 && date_.month <= 12 ? std::string_view(names[date_.month - 1]) : "";
  }
  std::string_view DayName(const std::array<std::string, 7>& names) const {
    return weekday_ >= 1 && weekday_ <= 7 ? std::string_view(names[weekday_ - 1]) : "";
  }

  const DateTimeFormatSettings& format_ = DateTimeFormat;
  const DateTimeParts parts_;
  const CalendarDate date_ = parts_.date;
  const ClockTime time_ = parts_.time;
  const int weekday_ = parts_.weekday;
  char buffer_[kMaxText];
  std::size_t length_ = 0;
};

void Renderer::AppendNumber(unsigned number, int minDigits) {
  if (number < 100 && minDigits <= 2 && length_ + 2 <= kMaxText) {  // most numbers of a date
    if (number >= 10 || minDigits == 2) {
      std::memcpy(buffer_ + length_, &kDigitPairs[2 * number], 2);
      length_ += 2;
    } else {
      buffer_[length_++] = static_cast<char>('0' + number);
    }
    return;
  }
  if (number >= 1000 && number < 10000 && minDigits <= 4 && length_ + 4 <= kMaxText) {  // years
    std::memcpy(buffer_ + length_, &kDigitPairs[2 * (number / 100)], 2);
    std::memcpy(buffer_ + length_ + 2, &kDigitPairs[2 * (number % 100)], 2);
    length_ += 4;
    return;
  }
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + number % 10);
    number /= 10;
  } while (number != 0);
  for (int i = count; i < minDigits; ++i) Append('0');
  while (count > 0) Append(digits[--count]);
}

void Renderer::Render(std::string_view picture, int level) {
  if (level > kDeepestLevel) return;
  bool twelveHour = false;  // every level starts on the 24-hour clock
  char lastLetter = '\0';
  const bool afternoon = time_.hour >= 12;
  std::size_t i = 0;
  while (i < picture.size()) {
    const char c = picture[i];
    const CharClass kind = kClassOf[static_cast<unsigned char>(c)];
    if (kind.token == '\0') {
      Append(c);  // no meaning: copied, and the last letter stays
      ++i;
      continue;
    }
    const char upper = kind.token;
    // Tokens made of a run of one and the same character.
    std::size_t run = 1;
    if (kind.formsRuns)
      while (i + run < picture.size() && picture[i + run] == c) ++run;
    const int count = static_cast<int>(run);
    std::size_t consumed = run;
    switch (upper) {
      case 'C':
        Render(format_.shortDatePicture, level + 1);
        if (time_.hour != 0 || time_.minute != 0 || time_.second != 0) {
          Append(' ');
          Render(format_.longTimePicture, level + 1);
        }
        break;
      case 'D':
        if (count <= 2) AppendNumber(date_.day, count);
        else if (count == 3) Append(DayName(format_.dayAbbrevs));
        else if (count == 4) Append(DayName(format_.dayNames));
        else if (count == 5) Render(format_.shortDatePicture, level + 1);
        else Render(format_.longDatePicture, level + 1);
        break;
      case 'M':
        if (lastLetter == 'H') {  // "h:mm": minutes, and the next "m" is minutes no more
          AppendNumber(time_.minute, count < 2 ? 1 : 2);
          lastLetter = 'N';
          i += consumed;
          continue;
        }
        if (count <= 2) AppendNumber(date_.month, count);
        else if (count == 3) Append(MonthName(format_.monthAbbrevs));
        else Append(MonthName(format_.monthNames));
        break;
      case 'Y':
        if (count <= 2) AppendNumber(date_.year % 100, 2);
        else AppendNumber(date_.year, 4);
        break;
      case 'H': {
        if (!twelveHour && HourHasMarker(picture, i + run)) twelveHour = true;
        unsigned hour = time_.hour;
        if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
        AppendNumber(hour, count < 2 ? 1 : 2);
        break;
      }
      case 'N': AppendNumber(time_.minute, count < 2 ? 1 : 2); break;
      case 'S': AppendNumber(time_.second, count < 2 ? 1 : 2); break;
      case 'Z': AppendNumber(time_.millisecond, count < 3 ? count : 3); break;
      case 'T':
        Render(count == 1 ? format_.shortTimePicture : format_.longTimePicture, level + 1);
        break;
      case 'G': break;  // era names: this system keeps the Gregorian calendar only
      case 'E': AppendNumber(date_.year, 1); break;  // the year within the Gregorian era
      case 'A':
        if (const std::size_t marker = MarkerLength(picture, i); marker != 0) {
          if (marker == 5)  // "AM/PM": the first or the last two characters, as written
            Append(picture.substr(i + (afternoon ? 3 : 0), 2));
          else if (marker == 3)  // "A/P"
            Append(picture[i + (afternoon ? 2 : 0)]);
          else  // "AMPM"
            Append(afternoon ? format_.pmText : format_.amText);
          consumed = marker;
          twelveHour = true;
        } else if (HasWordAt(picture, i, "AAAA")) {
          Append(DayName(format_.dayNames));
          consumed = 4;
        } else if (HasWordAt(picture, i, "AAA")) {
          Append(DayName(format_.dayAbbrevs));
          consumed = 3;
        } else {
          Append(c);
        }
        break;
      case '/':
        if (format_.dateSep != '\0') Append(format_.dateSep);
        break;
      case ':':
        if (format_.timeSep != '\0') Append(format_.timeSep);
        break;
      case '"':
      case '\'': {
        const std::size_t close = picture.find(c, i + 1);
        const std::size_t end = close == std::string_view::npos ? picture.size() : close;
        Append(picture.substr(i + 1, end - i - 1));
        consumed = end - i + (close == std::string_view::npos ? 0 : 1);
        break;
      }
      default:
        Append(c);
        break;
    }
    if (IsLetter(upper)) lastLetter = upper;
    i += consumed;
  }
}

}  // namespace

std::string RenderPicture(std::string_view picture, DateTimeValue value) {
  Renderer renderer(value);
  renderer.Render(picture.empty() ? std::string_view("c") : picture, 1);
  return renderer.Text();
}

std::string DateTimeText(DateTimeValue value) { return RenderPicture("c", value); }
