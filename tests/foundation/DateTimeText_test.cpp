#include "foundation/DateTimeText.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/FakeLocale.h"
#include "fakes/ScopedDateTimeFormat.h"
#include "foundation/DateTimeFormat.h"

namespace {

namespace item = platform::locale_item;

// The three settings of the worked examples, as a locale would give them.
FakeLocale DefaultsLocale() { return FakeLocale{}; }
FakeLocale UsLocale() {
  FakeLocale l;
  l.items = {{item::kShortDate, "M/d/yyyy"}, {item::kTimeClock, "0"},
             {item::kTimeMarkPosition, "0"}, {item::kHourLeadingZero, "0"},
             {item::kAmDesignator, "AM"},    {item::kPmDesignator, "PM"}};
  return l;
}
FakeLocale GermanLocale() {
  FakeLocale l;
  l.items = {{item::kDateSep, "."},
             {item::kShortDate, "dd.MM.yyyy"},
             {item::kTimeClock, "1"},
             {item::kHourLeadingZero, "1"}};
  return l;
}

const double k0905 = 37816 + (9 * 60 + 5) / 1440.0;

TEST(DateTimeText, WorkedExamples) {
  struct Row {
    const char* label;
    FakeLocale locale;
    const char* texts[4];
  } rows[] = {
      {"defaults",
       DefaultsLocale(),
       {"7/14/03 9:05:00 am", "7/14/03", "7/14/03 10:30:00 pm", "12/30/99 10:30:00 am"}},
      {"M/d/yyyy, 12-hour",
       UsLocale(),
       {"7/14/2003 9:05:00 AM", "7/14/2003", "7/14/2003 10:30:00 PM",
        "12/30/1899 10:30:00 AM"}},
      {"dd.MM.yyyy, 24-hour",
       GermanLocale(),
       {"14.07.2003 09:05:00", "14.07.2003", "14.07.2003 22:30:00", "30.12.1899 10:30:00"}},
  };
  const double values[4] = {k0905, 37816, 37816.9375, 0.4375};
  for (const Row& row : rows) {
    ScopedDateTimeFormat scope;
    LoadDateTimeFormat(row.locale);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(DateTimeText(values[i]), row.texts[i]) << row.label;
  }
}

class RenderPictureTest : public ::testing::Test {
 protected:
  ScopedDateTimeFormat scope;
  // Monday 2003-07-14 21:05:07.045
  const double value = 37816 + (((21 * 60 + 5) * 60 + 7) * 1000 + 45) / 86400000.0;
};

TEST_F(RenderPictureTest, Tokens) {
  struct Case {
    const char* picture;
    const char* text;
  } cases[] = {
      {"d dd ddd dddd", "14 14 Mon Monday"},
      {"m mm mmm mmmm mmmmmm", "7 07 Jul July July"},
      {"y yy yyy yyyy", "03 03 2003 2003"},
      {"h hh hhh n nn nnn s ss sss", "21 21 21 5 05 05 7 07 07"},
      {"z zz zzz zzzz", "45 45 045 045"},
      {"dD", "1414"},                     // two runs of one
      {"h:m:s", "21:5:7"},                // "m" after "h" is the minute
      {"m/d/yy h:m", "7/14/03 21:5"},
      {"hh mm", "21 05"},                 // the last letter, not the last character
      {"hh x mm", "21 x 07"},             // any other letter resets it
      {"hh \"x\" mm", "21 x 05"},         // quoted letters do not
      {"h:mm m", "21:05 7"},              // after the minute "m" is the month again
      {"'yyyy' \"d\"", "yyyy d"},
      {"'unclosed d", "unclosed d"},
      {"AAAA aaa a b", "Monday Mon a b"},
      {"ddddd", "7/14/03"},
      {"dddddd", "July 14, 2003"},
      {"t | tt", "9:05 pm | 9:05:07 pm"},
      {"", "7/14/03 9:05:07 pm"},
      {"c", "7/14/03 9:05:07 pm"},
      {"%&-", "%&-"},
  };
  for (const Case& c : cases) EXPECT_EQ(RenderPicture(c.picture, value), c.text) << c.picture;
}

TEST_F(RenderPictureTest, TwelveHourClock) {
  struct Case {
    const char* picture;
    double value;
    const char* text;
  } cases[] = {
      {"h AM/PM", value, "9 PM"},
      {"h am/pm", 0.25, "6 am"},
      {"h aM/Pm", value, "9 Pm"},          // the picture's own letters
      {"h:nn a/p", value, "9:05 p"},
      {"h:nn A/P", 0.0, "12:00 A"},
      {"hh:nn ampm", 0.5, "12:00 pm"},
      {"AMPM h", value, "pm 9"},           // the marker switches the rest of the level
      {"h AMPM h", value, "9 pm 9"},
      {"h h AMPM", value, "21 9 pm"},      // the look-ahead stops at the next hour
      {"h 'am/pm' h", value, "21 am/pm 21"},  // quoted markers do not count
      {"h aaa am/pm", value, "21 Mon pm"},  // nor markers after another "a"
      {"h \"x\"AMPM", value, "9 xpm"},
      {"h ampmx", 0.75, "6 pmx"},
      {"aaaa h", value, "Monday 21"},
  };
  for (const Case& c : cases) EXPECT_EQ(RenderPicture(c.picture, c.value), c.text) << c.picture;
}

TEST_F(RenderPictureTest, EachLevelKeepsItsOwnClock) {
  DateTimeFormat.shortDatePicture = "h";
  DateTimeFormat.longDatePicture = "h ampm";
  EXPECT_EQ(RenderPicture("ddddd dddddd ddddd", value), "21 9 pm 21");
  EXPECT_EQ(RenderPicture("ampm ddddd h", value), "pm 21 9");
}

TEST_F(RenderPictureTest, OnlyTwoLevelsOfNamedPictures) {
  DateTimeFormat.shortDatePicture = "<dddddd>";
  DateTimeFormat.longDatePicture = "[d]";
  DateTimeFormat.longTimePicture = "c";  // would name itself without end
  EXPECT_EQ(RenderPicture("ddddd|dddddd|tt|", value), "<>|[14]| |");
  EXPECT_EQ(RenderPicture("c|", value), "<>  |");
}

TEST_F(RenderPictureTest, SeparatorsFromTheFormat) {
  DateTimeFormat.dateSep = '-';
  DateTimeFormat.timeSep = '.';
  EXPECT_EQ(RenderPicture("d/m h:n '/:'", value), "14-7 21.5 /:");
  DateTimeFormat.dateSep = '\0';
  DateTimeFormat.timeSep = '\0';
  EXPECT_EQ(RenderPicture("d/m h:n", value), "147 215");
}

TEST_F(RenderPictureTest, OutputStopsAt256Characters) {
  const std::string text = RenderPicture(std::string(200, 'x') + std::string(40, 'c') + " c c c", value);
  EXPECT_EQ(text.size(), 256u);
  EXPECT_EQ(text.substr(200, 38), "7/14/03 9:05:07 pm 7/14/03 9:05:07 pm ");
  EXPECT_EQ(RenderPicture(std::string(300, '-'), value), std::string(256, '-'));
}

TEST_F(RenderPictureTest, MidnightShowsTheDateAloneAndMillisecondsDoNotCount) {
  EXPECT_EQ(DateTimeText(37816 + 999 / 86400000.0), "7/14/03");
  EXPECT_EQ(DateTimeText(-1.25), "12/29/99 6:00:00 am");
  EXPECT_EQ(DateTimeText(-1.25 + 1e-12), "12/29/99 6:00:00 am");
}

TEST_F(RenderPictureTest, YearsAndNamesOutsideTheCalendar) {
  EXPECT_EQ(RenderPicture("yyyy-mm-dd", -693593), "0001-01-01");
  EXPECT_EQ(RenderPicture("yyyy-mm-dd ddd mmm|", -700000), "0000-00-00  |");
}

}  // namespace
