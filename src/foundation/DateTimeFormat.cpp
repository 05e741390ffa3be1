#include "foundation/DateTimeFormat.h"

#include <charconv>
#include <cstdint>
#include <optional>

DateTimeFormatSettings DateTimeFormat;

namespace {

namespace item = platform::locale_item;

// Room the system gives every text item, terminator included.
constexpr int kTextCapacity = 256;

// A one-character item, asked with room for exactly one character: a longer item does not
// fit and keeps the default; an empty one is NUL, "no separator".
char CharItem(const platform::LocaleSource& locale, std::uint32_t id, char fallback) {
  const auto text = locale.Item(id, 2);
  if (!text || text->size() > 1) return fallback;
  return text->empty() ? '\0' : (*text)[0];
}

std::string TextItem(const platform::LocaleSource& locale, std::uint32_t id,
                     const std::string& fallback) {
  return locale.Item(id, kTextCapacity).value_or(fallback);
}

// Names never stay empty: an empty answer is as good as none.
std::string NameItem(const platform::LocaleSource& locale, std::uint32_t id,
                     const std::string& fallback) {
  auto text = locale.Item(id, kTextCapacity);
  return text && !text->empty() ? std::move(*text) : fallback;
}

// A flag read as a decimal number; anything that is not one counts as 0.
int FlagItem(const platform::LocaleSource& locale, std::uint32_t id) {
  const auto text = locale.Item(id, kTextCapacity);
  if (!text || text->empty()) return 0;
  const char* first = text->data();
  const char* last = first + text->size();
  if (*first == '+') ++first;
  int value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  return error == std::errc() && end == last ? value : 0;
}

bool UsesCjkLanguage(const platform::LocaleSource& locale) {
  const unsigned language = locale.PrimaryLanguage();
  return language == 0x04 || language == 0x11 || language == 0x12;
}

// The era letters have no meaning in the Chinese, Japanese and Korean pictures we store.
std::string WithoutEraLetters(std::string picture) {
  std::erase_if(picture, [](char c) { return c == 'g' || c == 'G'; });
  return picture;
}

}  // namespace

void LoadDateTimeFormat(const platform::LocaleSource& locale) {
  DateTimeFormatSettings f;  // every field starts at its default
  f.dateSep = CharItem(locale, item::kDateSep, f.dateSep);
  f.timeSep = CharItem(locale, item::kTimeSep, f.timeSep);
  f.decimalSep = CharItem(locale, item::kDecimalSep, f.decimalSep);
  f.shortDatePicture = TextItem(locale, item::kShortDate, f.shortDatePicture);
  f.longDatePicture = TextItem(locale, item::kLongDate, f.longDatePicture);
  if (UsesCjkLanguage(locale)) {
    f.shortDatePicture = WithoutEraLetters(std::move(f.shortDatePicture));
    f.longDatePicture = WithoutEraLetters(std::move(f.longDatePicture));
  }
  f.amText = TextItem(locale, item::kAmDesignator, f.amText);
  f.pmText = TextItem(locale, item::kPmDesignator, f.pmText);

  // The time pictures are built from three flags; the locale's own time picture is not used.
  const std::string hour = FlagItem(locale, item::kHourLeadingZero) != 0 ? "hh" : "h";
  std::string prefix, suffix;
  if (FlagItem(locale, item::kTimeClock) == 0) {
    if (FlagItem(locale, item::kTimeMarkPosition) == 0)
      suffix = " AMPM";
    else
      prefix = "AMPM ";
  }
  f.shortTimePicture = prefix + hour + ":mm" + suffix;
  f.longTimePicture = prefix + hour + ":mm:ss" + suffix;

  for (std::uint32_t i = 0; i < 12; ++i) {
    f.monthAbbrevs[i] = NameItem(locale, item::kAbbrevMonthName1 + i, f.monthAbbrevs[i]);
    f.monthNames[i] = NameItem(locale, item::kMonthName1 + i, f.monthNames[i]);
  }
  // The locale numbers its days from Monday (1) to Sunday (7); the record starts on Sunday.
  for (std::uint32_t i = 0; i < 7; ++i) {
    const std::uint32_t fromMonday = (i + 6) % 7;
    f.dayAbbrevs[i] = NameItem(locale, item::kAbbrevDayName1 + fromMonday, f.dayAbbrevs[i]);
    f.dayNames[i] = NameItem(locale, item::kDayName1 + fromMonday, f.dayNames[i]);
  }
  DateTimeFormat = std::move(f);
}
