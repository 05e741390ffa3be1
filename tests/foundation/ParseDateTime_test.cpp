#include "foundation/ParseDateTime.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/FakeClock.h"
#include "fakes/ScopedDateTimeFormat.h"
#include "foundation/DateTimeFormat.h"
#include "fakes/ErrorMessage.h"
#include "foundation/DateTimeText.h"
#include "foundation/Exception.h"

namespace {

std::string ErrorOf(const std::string& text, ParseKind kind, const platform::Clock& clock) {
  return MessageOf<ConversionError>([&] { ParseDateTime(text, kind, clock); });
}

class ParseDateTimeTest : public ::testing::Test {
 protected:
  ParseDateTimeTest() {
    DateTimeFormat.shortDatePicture = "M/d/yyyy";
    DateTimeFormat.amText = "AM";
    DateTimeFormat.pmText = "PM";
  }
  double Parse(const std::string& text, ParseKind kind = ParseKind::DateAndTime) {
    return ParseDateTime(text, kind, clock);
  }
  std::string Error(const std::string& text, ParseKind kind = ParseKind::DateAndTime) {
    return ErrorOf(text, kind, clock);
  }

  ScopedDateTimeFormat scope;
  FakeClock clock{2026, 3, 1, 8, 0};
};

TEST_F(ParseDateTimeTest, WorkedExamples) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"10:30", 0.4375},
      {"9:05 PM", TimeFromParts(21, 5, 0, 0)},
      {"12:15 AM", TimeFromParts(0, 15, 0, 0)},
      {"7/14/2003 9:05:00 AM", 37816 + TimeFromParts(9, 5, 0, 0)},
      {"7/14/2003", 37816},
      {"7/14/03", 37816},
      {"7/14/75", DateFromParts(2075, 7, 14)},
      {"7/14/76", DateFromParts(1976, 7, 14)},
      {"7/14", DateFromParts(2026, 7, 14)},
      {"7/14/2003 9:05 later", 37816 + TimeFromParts(9, 5, 0, 0)},
  };
  for (const Case& c : cases) EXPECT_EQ(Parse(c.text), c.value) << c.text;
  EXPECT_NEAR(Parse("9:05 PM"), 0.8784722, 1e-7);
  EXPECT_NEAR(Parse("12:15 AM"), 0.0104166, 1e-7);
}

TEST_F(ParseDateTimeTest, WorkedErrors) {
  EXPECT_EQ(Error("10:30 later"), "'10:30 later' is not a valid date and time");
  EXPECT_EQ(Error("14/7/2003"), "'14/7/2003' is not a valid date and time");
  EXPECT_EQ(Error("7/14/"), "'7/14/' is not a valid date and time");
  EXPECT_EQ(Error("0:30 AM"), "'0:30 AM' is not a valid date and time");
  EXPECT_EQ(Error(""), "'' is not a valid date and time");
}

TEST_F(ParseDateTimeTest, EachKindHasItsMessage) {
  for (const char* text : {"", "x", "7/14/2003 10:30"}) {
    EXPECT_EQ(Error(text, ParseKind::DateOnly), std::string("'") + text + "' is not a valid date");
  }
  for (const char* text : {"", "7/14/2003", "10:30 x"}) {
    EXPECT_EQ(Error(text, ParseKind::TimeOnly), std::string("'") + text + "' is not a valid time");
  }
  EXPECT_EQ(Error("1/2", static_cast<ParseKind>(7)), "'1/2' is not a valid time");
  EXPECT_EQ(Parse("10:30", static_cast<ParseKind>(-1)), 0.4375);
  EXPECT_EQ(Parse(" 7 / 14 / 2003 / ", ParseKind::DateOnly), 37816);
  EXPECT_EQ(Parse(" 10 : 30 : 15 . 5 PM ", ParseKind::TimeOnly), TimeFromParts(22, 30, 15, 5));
}

TEST_F(ParseDateTimeTest, Years) {
  struct Case {
    const char* text;
    int year;
  } cases[] = {{"7/14/3", 2003}, {"7/14/03", 2003},   {"7/14/003", 3},
               {"7/14/0075", 75}, {"7/14/75", 2075}, {"7/14/76", 1976},
               {"7/14/00", 2000}, {"7/14/99", 1999}, {"7/14/9999", 9999}};
  for (const Case& c : cases) EXPECT_EQ(Parse(c.text), DateFromParts(c.year, 7, 14)) << c.text;
  EXPECT_EQ(Parse("7/14/0"), DateFromParts(2000, 7, 14));
  EXPECT_THROW(Parse("7/14/000"), ConversionError);    // year 0 is outside the calendar
  EXPECT_THROW(Parse("7/14/12345"), ConversionError);  // 1234, then "5" is left over
  clock.Set(2100, 1, 1);
  EXPECT_EQ(Parse("7/14/49"), DateFromParts(2149, 7, 14));
  EXPECT_EQ(Parse("7/14/50"), DateFromParts(2050, 7, 14));
}

TEST_F(ParseDateTimeTest, OrderFollowsTheShortDatePicture) {
  struct Case {
    const char* picture;
    const char* text;
    double value;
  } cases[] = {
      {"dd/MM/yyyy", "14/7/2003", 37816}, {"'x' yyyy/MM/dd", "2003/7/14", 37816},
      {"e/m/d", "2003/7/14", 37816},       {"M/d/yy", "7/14/2003", 37816},
      {"---", "7/14/2003", 37816},          {"dd/MM", "14/7", DateFromParts(2026, 7, 14)},
      {"yyyy/MM/dd", "7/14", DateFromParts(2026, 7, 14)},
  };
  for (const Case& c : cases) {
    DateTimeFormat.shortDatePicture = c.picture;
    EXPECT_EQ(Parse(c.text), c.value) << c.picture;
  }
}

TEST_F(ParseDateTimeTest, Designators) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"12:00 am", 0},
      {"12:00 PM", 0.5},
      {"pm 1:00", TimeFromParts(13, 0, 0, 0)},
      {"vorm 11:59", TimeFromParts(11, 59, 0, 0)},
      {"11:59 NACHM", TimeFromParts(23, 59, 0, 0)},
      {"7/14/2003 nachm 1:00", 37816 + TimeFromParts(13, 0, 0, 0)},
  };
  DateTimeFormat.amText = "vorm";
  DateTimeFormat.pmText = "nachm";
  for (const Case& c : cases) EXPECT_EQ(Parse(c.text), c.value) << c.text;
  for (const char* text : {"13:00 PM", "0:00 am", "am 10:00 pm", "10:00 am pm"}) {
    EXPECT_THROW(Parse(text), ConversionError) << text;
  }
}

TEST_F(ParseDateTimeTest, FieldsAndBlanks) {
  EXPECT_EQ(Parse("10:30:15.5"), TimeFromParts(10, 30, 15, 5));
  EXPECT_EQ(Parse("10:30:15.999"), TimeFromParts(10, 30, 15, 999));
  for (const char* text : {"10:30:15.1000", "10:30:15.", "10:30:", "10", "24:00", "10:60",
                           "\t10:30", "10:30\t", "7/14/2003\t10:30"}) {
    EXPECT_THROW(Parse(text), ConversionError) << text;
  }
  EXPECT_EQ(Parse("  7/14/2003   10:30   "), 37816.4375);
  EXPECT_EQ(Parse("7/14/2003 10:30\tx"), 37816.4375);  // after a date and time: ignored
}

TEST_F(ParseDateTimeTest, ADateThatIsNotFollowedByATimeIsReadAsATimeOrNothing) {
  // "7/14/2003 x": the time reader fails after the date, and the whole is no time either.
  EXPECT_EQ(Error("7/14/2003 x"), "'7/14/2003 x' is not a valid date and time");
  // With the same date and time separators, two numbers read as a date of this year.
  DateTimeFormat.dateSep = '.';
  DateTimeFormat.timeSep = '.';
  EXPECT_EQ(Parse("10.30"), DateFromParts(2026, 10, 30));
}

TEST_F(ParseDateTimeTest, DatesBefore1899SubtractTheTime) {
  const double value = DateFromParts(1800, 1, 2) - TimeFromParts(6, 0, 0, 0);
  EXPECT_EQ(Parse("1/2/1800 6:00"), value);
  EXPECT_EQ(Parse(DateTimeText(value)), value);
}

TEST_F(ParseDateTimeTest, NoSeparatorMeansNoDate) {
  DateTimeFormat.dateSep = '\0';
  EXPECT_THROW(Parse("7/14/2003", ParseKind::DateOnly), ConversionError);
  EXPECT_EQ(Parse("10:30"), 0.4375);
}

// Text written under one set of settings reads back to the value under the same settings,
// for every settings row whose short date shows the date as numbers.
TEST(ParseDateTimeRoundTrip, TextOfAValueReadsBackExactly) {
  struct Settings {
    const char* label;
    char dateSep;
    const char* shortDate;
    const char* longTime;
    const char* am;
    const char* pm;
  } settings[] = {
      {"defaults", '/', "m/d/yy", "h:mm:ss AMPM", "am", "pm"},
      {"US", '/', "M/d/yyyy", "h:mm:ss AMPM", "AM", "PM"},
      {"German", '.', "dd.MM.yyyy", "hh:mm:ss", "", ""},
      {"ISO", '-', "yyyy-MM-dd", "HH:mm:ss", "", ""},
      {"Korean style", '-', "yyyy-MM-dd", "AMPM h:mm:ss", "\xbf\xc0\xc0\xfc", "\xbf\xc0\xc8\xc4"},
      {"dotted designators", '/', "d/M/yyyy", "h:mm:ss AMPM", "a.m.", "p.m."},
  };
  FakeClock clock(2026, 3, 1);
  for (const Settings& s : settings) {
    ScopedDateTimeFormat scope;
    DateTimeFormat.dateSep = s.dateSep;
    DateTimeFormat.shortDatePicture = s.shortDate;
    DateTimeFormat.longTimePicture = s.longTime;
    DateTimeFormat.amText = s.am;
    DateTimeFormat.pmText = s.pm;
    // Two-digit years must lie in the window 1976-2075; four-digit ones may be anything.
    const bool shortYear = std::string(s.shortDate).find("yyy") == std::string::npos;
    const double first = shortYear ? DateFromParts(1976, 1, 1) : DateFromParts(1, 1, 1);
    const double last = shortYear ? DateFromParts(2075, 12, 31) : DateFromParts(9999, 12, 31);
    const double step = shortYear ? 37 : 997;
    int checked = 0;
    for (double day = first; day <= last; day += step) {
      for (int minutes = 0; minutes < 1440; minutes += 73) {
        const int second = (minutes / 73) % 60;
        const double t = TimeFromParts(minutes / 60, minutes % 60, second, 0);
        const double value = day >= 0 ? day + t : day - t;
        const std::string text = DateTimeText(value);
        ASSERT_EQ(ParseDateTime(text, ParseKind::DateAndTime, clock), value)
            << s.label << ": " << text;
        ++checked;
      }
    }
    EXPECT_GT(checked, 1000) << s.label;
  }
}

TEST(ParseDateTimeRoundTrip, NamedMonthsDoNotReadBack) {
  ScopedDateTimeFormat scope;
  DateTimeFormat.shortDatePicture = "d mmm yyyy";
  FakeClock clock(2026, 3, 1);
  const std::string text = DateTimeText(37816.5);
  EXPECT_EQ(text, "14 Jul 2003 12:00:00 pm");
  EXPECT_EQ(ErrorOf(text, ParseKind::DateAndTime, clock),
            "'" + text + "' is not a valid date and time");
}

}  // namespace
