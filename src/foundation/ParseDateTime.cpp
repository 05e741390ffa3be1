#include "foundation/ParseDateTime.h"

#include <cstddef>
#include <optional>
#include <string_view>

#include "foundation/CivilDays.h"
#include "foundation/DateTimeFormat.h"
#include "foundation/Exception.h"
#include "platform/TextCompare.h"

namespace {

struct Number {
  int value = 0;
  int digits = 0;
};

// The four scanning steps over the text. Only the space character is a blank.
class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }

  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }

  // Digits while the value taken so far is below 1000: at most four of them.
  std::optional<Number> TakeNumber() {
    SkipBlanks();
    Number n;
    while (pos_ < text_.size() && IsDigit(text_[pos_]) && n.value < 1000) {
      n.value = n.value * 10 + (text_[pos_++] - '0');
      ++n.digits;
    }
    if (n.digits == 0) return std::nullopt;
    return n;
  }

  // A NUL separator stands for "no separator" and is never found in a text.
  bool TakeChar(char c) {
    SkipBlanks();
    if (c == '\0' || pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  bool TakeWord(std::string_view word) {
    if (word.empty()) return false;
    SkipBlanks();
    if (text_.size() - pos_ < word.size()) return false;
    if (!platform::SameTextIgnoringCase(text_.substr(pos_, word.size()), word)) return false;
    pos_ += word.size();
    return true;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

  std::string_view text_;
  std::size_t pos_ = 0;
};

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

DateOrder OrderOf(std::string_view picture) {
  for (char c : picture) {
    switch (c) {
      case 'd': case 'D': return DateOrder::DayMonthYear;
      case 'm': case 'M': return DateOrder::MonthDayYear;
      case 'y': case 'Y': case 'e': case 'E': return DateOrder::YearMonthDay;
      default: break;
    }
  }
  return DateOrder::MonthDayYear;
}

// The current year, read from the clock only when a text leaves the year open.
class CurrentYear {
 public:
  explicit CurrentYear(const platform::Clock& clock) : clock_(clock) {}
  int Get() {
    if (!year_) year_ = clock_.LocalTime().year;
    return *year_;
  }

 private:
  const platform::Clock& clock_;
  std::optional<int> year_;
};

// One or two digits name a year in the hundred years that begin CenturyWindow years before
// the current one.
int PlaceInWindow(int year, int current) {
  const int start = current - CenturyWindow;
  year += 100 * (start / 100);  // start is positive for every year the clock can give
  if (year < start) year += 100;
  return year;
}

std::optional<DateTimeValue> ReadDate(Scanner& s, CurrentYear& currentYear) {
  const DateTimeFormatSettings& f = DateTimeFormat;
  const DateOrder order = OrderOf(f.shortDatePicture);
  const auto n1 = s.TakeNumber();
  if (!n1 || !s.TakeChar(f.dateSep)) return std::nullopt;
  const auto n2 = s.TakeNumber();
  if (!n2) return std::nullopt;
  int year, month, day;
  if (s.TakeChar(f.dateSep)) {
    const auto n3 = s.TakeNumber();
    if (!n3) return std::nullopt;
    Number y;
    switch (order) {
      case DateOrder::MonthDayYear: month = n1->value, day = n2->value, y = *n3; break;
      case DateOrder::DayMonthYear: day = n1->value, month = n2->value, y = *n3; break;
      default: y = *n1, month = n2->value, day = n3->value; break;
    }
    year = y.digits <= 2 ? PlaceInWindow(y.value, currentYear.Get()) : y.value;
  } else {
    year = currentYear.Get();
    if (order == DateOrder::DayMonthYear)
      day = n1->value, month = n2->value;
    else
      month = n1->value, day = n2->value;
  }
  s.TakeChar(f.dateSep);
  s.SkipBlanks();
  if (!civil::ValidDate(year, month, day)) return std::nullopt;
  return DateFromParts(static_cast<std::uint16_t>(year), static_cast<std::uint16_t>(month),
                       static_cast<std::uint16_t>(day));
}

// The locale's designator or the English one. Where the two are the same text, a second
// look would only fail again.
bool TakeDesignator(Scanner& s, const std::string& local, std::string_view english) {
  return s.TakeWord(local) || (local != english && s.TakeWord(english));
}

// The hour base a designator gives: 0 for the morning, 12 for the afternoon.
std::optional<int> ReadDesignator(Scanner& s) {
  const DateTimeFormatSettings& f = DateTimeFormat;
  if (TakeDesignator(s, f.amText, "AM")) return 0;
  if (TakeDesignator(s, f.pmText, "PM")) return 12;
  return std::nullopt;
}

std::optional<DateTimeValue> ReadTime(Scanner& s) {
  const DateTimeFormatSettings& f = DateTimeFormat;
  std::optional<int> base = ReadDesignator(s);
  if (base) s.SkipBlanks();
  const auto hour = s.TakeNumber();
  if (!hour || !s.TakeChar(f.timeSep)) return std::nullopt;
  const auto minute = s.TakeNumber();
  if (!minute) return std::nullopt;
  Number second, millisecond;
  if (s.TakeChar(f.timeSep)) {
    const auto n = s.TakeNumber();
    if (!n) return std::nullopt;
    second = *n;
    if (s.TakeChar(f.decimalSep)) {
      const auto ms = s.TakeNumber();
      if (!ms) return std::nullopt;
      millisecond = *ms;
    }
  }
  if (!base) base = ReadDesignator(s);
  int h = hour->value;
  if (base) {
    if (h < 1 || h > 12) return std::nullopt;
    h = h % 12 + *base;
  }
  s.SkipBlanks();
  if (h > 23 || minute->value > 59 || second.value > 59 || millisecond.value > 999)
    return std::nullopt;
  return TimeFromParts(static_cast<std::uint16_t>(h), static_cast<std::uint16_t>(minute->value),
                       static_cast<std::uint16_t>(second.value),
                       static_cast<std::uint16_t>(millisecond.value));
}

std::optional<DateTimeValue> ReadTimeOnly(std::string_view text) {
  Scanner s(text);
  const auto time = ReadTime(s);
  if (time && s.AtEnd()) return time;
  return std::nullopt;
}

std::optional<DateTimeValue> ReadDateAndTime(std::string_view text, CurrentYear& currentYear) {
  Scanner s(text);
  if (const auto date = ReadDate(s, currentYear)) {
    if (s.AtEnd()) return date;
    // Whatever follows the time of a date and time is ignored.
    if (const auto time = ReadTime(s)) return *date >= 0 ? *date + *time : *date - *time;
  }
  return ReadTimeOnly(text);
}

}  // namespace

DateTimeValue ParseDateTime(const std::string& text, ParseKind kind,
                            const platform::Clock& clock) {
  CurrentYear currentYear(clock);
  std::optional<DateTimeValue> result;
  const char* message;
  if (kind == ParseKind::DateOnly) {
    Scanner s(text);
    result = ReadDate(s, currentYear);
    if (!s.AtEnd()) result.reset();
    message = "' is not a valid date";
  } else if (kind == ParseKind::DateAndTime) {
    result = ReadDateAndTime(text, currentYear);
    message = "' is not a valid date and time";
  } else {
    result = ReadTimeOnly(text);
    message = "' is not a valid time";
  }
  if (!result) throw ConversionError("'" + text + message);
  return *result;
}
