#include "foundation/DateTimeFormat.h"

#include <gtest/gtest.h>

#include "fakes/FakeLocale.h"
#include "fakes/ScopedDateTimeFormat.h"

namespace {

namespace item = platform::locale_item;

class LoadDateTimeFormatTest : public ::testing::Test {
 protected:
  ScopedDateTimeFormat scope;
  FakeLocale locale;
};

TEST_F(LoadDateTimeFormatTest, ALocaleThatGivesNothingLeavesEveryDefault) {
  DateTimeFormat.dateSep = '-';  // a reload starts over from the defaults
  LoadDateTimeFormat(locale);
  const DateTimeFormatSettings defaults;
  EXPECT_EQ(DateTimeFormat.dateSep, '/');
  EXPECT_EQ(DateTimeFormat.timeSep, ':');
  EXPECT_EQ(DateTimeFormat.decimalSep, '.');
  EXPECT_EQ(DateTimeFormat.shortDatePicture, "m/d/yy");
  EXPECT_EQ(DateTimeFormat.longDatePicture, "mmmm d, yyyy");
  EXPECT_EQ(DateTimeFormat.amText, "am");
  EXPECT_EQ(DateTimeFormat.pmText, "pm");
  EXPECT_EQ(DateTimeFormat.shortTimePicture, "h:mm AMPM");
  EXPECT_EQ(DateTimeFormat.longTimePicture, "h:mm:ss AMPM");
  EXPECT_EQ(DateTimeFormat.monthNames, defaults.monthNames);
  EXPECT_EQ(DateTimeFormat.monthAbbrevs[11], "Dec");
  EXPECT_EQ(DateTimeFormat.dayNames[0], "Sunday");
  EXPECT_EQ(DateTimeFormat.dayAbbrevs[6], "Sat");
}

TEST_F(LoadDateTimeFormatTest, SeparatorsAreOneCharacterOrNone) {
  locale.items = {{item::kDateSep, "."}, {item::kTimeSep, ""}, {item::kDecimalSep, ", "}};
  LoadDateTimeFormat(locale);
  EXPECT_EQ(DateTimeFormat.dateSep, '.');
  EXPECT_EQ(DateTimeFormat.timeSep, '\0');     // empty: no separator
  EXPECT_EQ(DateTimeFormat.decimalSep, '.');   // two characters do not fit: the default
}

TEST_F(LoadDateTimeFormatTest, EmptyTextsStayEmptyButNamesFallBackToEnglish) {
  locale.items = {{item::kAmDesignator, ""},          {item::kPmDesignator, "nachm."},
                  {item::kShortDate, "dd.MM.yyyy"},   {item::kLongDate, ""},
                  {item::kMonthName1, ""},            {item::kMonthName1 + 1, "Februar"},
                  {item::kAbbrevMonthName1 + 2, "Mrz"}, {item::kDayName1, "Montag"},
                  {item::kDayName1 + 6, "Sonntag"},   {item::kAbbrevDayName1 + 5, "Sa"},
                  {item::kAbbrevDayName1 + 6, ""}};
  LoadDateTimeFormat(locale);
  EXPECT_EQ(DateTimeFormat.amText, "");
  EXPECT_EQ(DateTimeFormat.pmText, "nachm.");
  EXPECT_EQ(DateTimeFormat.shortDatePicture, "dd.MM.yyyy");
  EXPECT_EQ(DateTimeFormat.longDatePicture, "");
  EXPECT_EQ(DateTimeFormat.monthNames[0], "January");
  EXPECT_EQ(DateTimeFormat.monthNames[1], "Februar");
  EXPECT_EQ(DateTimeFormat.monthAbbrevs[2], "Mrz");
  // The locale counts days from Monday, the record from Sunday.
  EXPECT_EQ(DateTimeFormat.dayNames[0], "Sonntag");
  EXPECT_EQ(DateTimeFormat.dayNames[1], "Montag");
  EXPECT_EQ(DateTimeFormat.dayAbbrevs[6], "Sa");
  EXPECT_EQ(DateTimeFormat.dayAbbrevs[0], "Sun");
}

TEST_F(LoadDateTimeFormatTest, TimePicturesAreBuiltFromTheThreeFlags) {
  struct Case {
    const char* clock;  // nullptr: the query fails
    const char* leadingZero;
    const char* markPosition;
    const char* shortPicture;
    const char* longPicture;
  } cases[] = {
      {"0", "0", "0", "h:mm AMPM", "h:mm:ss AMPM"},
      {"0", "1", "1", "AMPM hh:mm", "AMPM hh:mm:ss"},
      {"1", "1", "1", "hh:mm", "hh:mm:ss"},
      {"1", "0", nullptr, "h:mm", "h:mm:ss"},
      {"x1", "2", nullptr, "hh:mm AMPM", "hh:mm:ss AMPM"},  // not a number: 12-hour clock
      {nullptr, nullptr, "7", "AMPM h:mm", "AMPM h:mm:ss"},
  };
  for (const Case& c : cases) {
    locale.items.clear();
    if (c.clock) locale.items[item::kTimeClock] = c.clock;
    if (c.leadingZero) locale.items[item::kHourLeadingZero] = c.leadingZero;
    if (c.markPosition) locale.items[item::kTimeMarkPosition] = c.markPosition;
    LoadDateTimeFormat(locale);
    EXPECT_EQ(DateTimeFormat.shortTimePicture, c.shortPicture) << c.shortPicture;
    EXPECT_EQ(DateTimeFormat.longTimePicture, c.longPicture) << c.longPicture;
  }
}

TEST_F(LoadDateTimeFormatTest, EraLettersAreRemovedOnlyForChineseJapaneseAndKorean) {
  locale.items = {{item::kShortDate, "gg yyyy/MM/dd"}, {item::kLongDate, "Gyyyy'x'M"}};
  for (unsigned language : {0x04u, 0x11u, 0x12u}) {
    locale.primaryLanguage = language;
    LoadDateTimeFormat(locale);
    EXPECT_EQ(DateTimeFormat.shortDatePicture, " yyyy/MM/dd") << language;
    EXPECT_EQ(DateTimeFormat.longDatePicture, "yyyy'x'M") << language;
  }
  locale.primaryLanguage = 0x07;
  LoadDateTimeFormat(locale);
  EXPECT_EQ(DateTimeFormat.shortDatePicture, "gg yyyy/MM/dd");
}

}  // namespace
