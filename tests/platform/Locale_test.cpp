#include "platform/Locale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <string>

#include "fakes/ScopedDateTimeFormat.h"
#include "foundation/DateTimeFormat.h"
#include "foundation/DateTimeText.h"
#include "foundation/Exception.h"
#include "foundation/ParseDateTime.h"
#include "platform/Clock.h"

namespace {

// Does a text written with these settings read back by the date reader? The short date must
// be three numbers with the date separator (or "/") between them, and a 12-hour time needs
// two distinct designators that do not begin with a digit.
bool ReadsBack(const DateTimeFormatSettings& f) {
  if (f.dateSep == '\0' || f.timeSep == '\0') return false;
  std::string shape;  // the picture with each number token as "#" and blanks dropped
  const std::string& p = f.shortDatePicture;
  for (std::size_t i = 0; i < p.size();) {
    const char c = static_cast<char>(p[i] | 0x20);
    std::size_t run = 1;
    while (i + run < p.size() && p[i + run] == p[i]) ++run;
    if ((c == 'd' || c == 'm') && run <= 2) shape += '#';
    else if (c == 'y') shape += '#';
    else if (p[i] == '/' || p[i] == f.dateSep) shape += std::string(run, '/');
    else if (p[i] != ' ') return false;
    i += run;
  }
  if (shape != "#/#/#" && shape != "#/#/#/") return false;
  if (f.longTimePicture.find("AMPM") != std::string::npos) {
    if (f.amText.empty() || f.pmText.empty() || f.amText == f.pmText) return false;
    if (isdigit(static_cast<unsigned char>(f.amText[0])) ||
        isdigit(static_cast<unsigned char>(f.pmText[0])))
      return false;
  }
  return true;
}

void Describe(const DateTimeFormatSettings& f) {
  std::cout << "  locale format: dateSep '" << f.dateSep << "' timeSep '" << f.timeSep
            << "' decimalSep '" << f.decimalSep << "' short date \"" << f.shortDatePicture
            << "\" long date \"" << f.longDatePicture << "\" long time \"" << f.longTimePicture
            << "\" am \"" << f.amText << "\" pm \"" << f.pmText << "\" -> "
            << (ReadsBack(f) ? "reads back" : "does not read back") << "\n";
}

// Today + t through the text form and back, under whatever locale the process was started
// with (LC_ALL). tests/platform/locale-roundtrip.sh runs this once per locale.
TEST(SystemLocaleRoundTrip, TodayPlusTimesOfDayReadBack) {
  ScopedDateTimeFormat scope;
  LoadDateTimeFormat(platform::SystemLocale());
  Describe(DateTimeFormat);
  const platform::Clock& clock = platform::SystemClock();
  const DateTimeValue today = LocalToday(clock);
  const bool readsBack = ReadsBack(DateTimeFormat);
  for (int seconds = 0; seconds < 86400; seconds += 617) {
    const int s = seconds == 617 ? 86399 : seconds;  // also the last second of the day
    for (int dayOffset : {0, -400, 3000}) {
      const DateTimeValue value =
          today + dayOffset + TimeFromParts(s / 3600, s / 60 % 60, s % 60, 0);
      const std::string text = DateTimeText(value);
      if (readsBack) {
        ASSERT_EQ(ParseDateTime(text, ParseKind::DateAndTime, clock), value) << text;
      } else {
        EXPECT_THROW(ParseDateTime(text, ParseKind::DateAndTime, clock), ConversionError) << text;
      }
    }
  }
}

#ifndef _WIN32
// The POSIX backend under named locales; they are looked for in LOCPATH as well as in the
// system's locales, and a test whose locale is missing is skipped.
class PosixLocaleTest : public ::testing::Test {
 protected:
  ~PosixLocaleTest() override {
    if (saved_.empty()) unsetenv("LC_ALL");
    else setenv("LC_ALL", saved_.c_str(), 1);
    platform::SystemLocale().ResetThreadLocale();
  }
  // False when the locale is not installed.
  bool Use(const char* name) {
    setenv("LC_ALL", name, 1);
    platform::SystemLocale().ResetThreadLocale();
    if (std::string(name).rfind("C", 0) == 0 || std::string(name) == "POSIX") return true;
    return platform::SystemLocale().Item(platform::locale_item::kMonthName1, 256).has_value();
  }

  ScopedDateTimeFormat scope;

 private:
  std::string saved_ = getenv("LC_ALL") ? getenv("LC_ALL") : "";
};

TEST_F(PosixLocaleTest, TheCLocaleGivesEveryDefault) {
  for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
    ASSERT_TRUE(Use(name));
    EXPECT_FALSE(platform::SystemLocale().Item(platform::locale_item::kDateSep, 2));
    DateTimeFormat.dateSep = '-';
    LoadDateTimeFormat(platform::SystemLocale());
    EXPECT_EQ(DateTimeText(37816.9375), "7/14/03 10:30:00 pm") << name;
    EXPECT_EQ(DateTimeFormat.monthNames[0], "January");
  }
}

TEST_F(PosixLocaleTest, NamedLocales) {
  struct Case {
    const char* name;
    char dateSep, timeSep, decimalSep;
    const char* shortDate;
    const char* longTime;
    const char* text;  // of 2003-07-14 22:30
  } cases[] = {
      {"en_US.UTF-8", '/', ':', '.', "mm/dd/yyyy", "hh:mm:ss AMPM", "07/14/2003 10:30:00 PM"},
      {"en_GB.UTF-8", '/', ':', '.', "dd/mm/yy", "hh:mm:ss", "14/07/03 22:30:00"},
      {"de_DE.UTF-8", '.', ':', ',', "dd.mm.yyyy", "hh:mm:ss", "14.07.2003 22:30:00"},
      {"fr_FR.UTF-8", '/', ':', ',', "dd/mm/yyyy", "hh:mm:ss", "14/07/2003 22:30:00"},
      {"sv_SE.UTF-8", '-', ':', ',', "yyyy-mm-dd", "hh:mm:ss", "2003-07-14 22:30:00"},
      {"fi_FI.UTF-8", '.', '.', ',', "dd.mm.yyyy", "hh:mm:ss", "14.07.2003 22.30.00"},
      // Dates written "2003年07月14日" could not be read back: the default short date stands.
      {"ja_JP.UTF-8", '/', ':', '.', "m/d/yy", "hh:mm:ss", "7/14/03 22:30:00"},
  };
  for (const Case& c : cases) {
    if (!Use(c.name)) {
      std::cout << "  " << c.name << " is not installed: skipped\n";
      continue;
    }
    LoadDateTimeFormat(platform::SystemLocale());
    EXPECT_EQ(DateTimeFormat.dateSep, c.dateSep) << c.name;
    EXPECT_EQ(DateTimeFormat.timeSep, c.timeSep) << c.name;
    EXPECT_EQ(DateTimeFormat.decimalSep, c.decimalSep) << c.name;
    EXPECT_EQ(DateTimeFormat.shortDatePicture, c.shortDate) << c.name;
    EXPECT_EQ(DateTimeFormat.longTimePicture, c.longTime) << c.name;
    EXPECT_EQ(DateTimeText(37816.9375), c.text) << c.name;
  }
}
#endif

}  // namespace
