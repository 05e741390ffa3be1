// Reading date-time text from arbitrary bytes, under settings and a current year that the
// first bytes choose; and the text of a date and time reading back to its value.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "fakes/FakeClock.h"
#include "foundation/CivilDays.h"
#include "foundation/DateTimeFormat.h"
#include "foundation/DateTimeText.h"
#include "foundation/Exception.h"
#include "foundation/ParseDateTime.h"

namespace {

// 0001-01-01 and 9999-12-31 as values.
constexpr double kFirstDay = -693593;
constexpr double kLastDay = 2958465;

char PickSeparator(FuzzedDataProvider& in, const char* usual) {
  const auto choice = in.ConsumeIntegralInRange<int>(0, 7);
  if (choice < 5) return usual[choice];
  return in.ConsumeIntegral<char>();  // anything, NUL and digits included
}

std::string PickText(FuzzedDataProvider& in, std::initializer_list<const char*> usual) {
  const auto choice = in.ConsumeIntegralInRange<std::size_t>(0, usual.size());
  if (choice < usual.size()) return usual.begin()[choice];
  return in.ConsumeRandomLengthString(12);
}

void PickSettings(FuzzedDataProvider& in) {
  DateTimeFormatSettings& f = DateTimeFormat;
  f = DateTimeFormatSettings{};
  f.dateSep = PickSeparator(in, "/.- \0");
  f.timeSep = PickSeparator(in, ":.h \0");
  f.decimalSep = PickSeparator(in, ".,:/\0");
  f.shortDatePicture =
      PickText(in, {"m/d/yy", "M/d/yyyy", "dd.MM.yyyy", "yyyy-MM-dd", "d/M/yy", "mmm d, yyyy",
                    "ggyy/M/d", "", "x"});
  f.amText = PickText(in, {"am", "AM", "", "vorm.", "a", "1"});
  f.pmText = PickText(in, {"pm", "PM", "", "nachm.", "a", "P"});
}

void CheckParsing(FuzzedDataProvider& in) {
  PickSettings(in);
  const int year = in.ConsumeIntegralInRange<int>(1601, 9999);
  const FakeClock clock(year, in.ConsumeIntegralInRange<int>(1, 12),
                        in.ConsumeIntegralInRange<int>(1, 28));
  const auto kind = static_cast<ParseKind>(in.ConsumeIntegralInRange<int>(0, 2));
  const std::string text = in.ConsumeRemainingBytesAsString();

  static const char* const kMessages[] = {"' is not a valid date", "' is not a valid time",
                                          "' is not a valid date and time"};
  try {
    const DateTimeValue value = ParseDateTime(text, kind, clock);
    FUZZ_CHECK(std::isfinite(value));
    FUZZ_CHECK(!text.empty());
    switch (kind) {
      case ParseKind::DateOnly:
        FUZZ_CHECK(value == std::floor(value) && value >= kFirstDay && value <= kLastDay);
        break;
      case ParseKind::TimeOnly:
        FUZZ_CHECK(value >= 0 && value < 1);
        break;
      case ParseKind::DateAndTime:
        FUZZ_CHECK(value > kFirstDay - 1 && value < kLastDay + 1);
        break;
    }
  } catch (const ConversionError& e) {
    FUZZ_CHECK(e.Message() == "'" + text + kMessages[static_cast<int>(kind)]);
  }
}

// Settings under which every date and time of years 1 to 9999 is written with numbers only
// and reads back to itself.
struct RoundTripSettings {
  char dateSep, timeSep;
  const char* shortDate;
  const char* longTime;
  const char* am;
  const char* pm;
};
constexpr RoundTripSettings kRoundTrips[] = {
    {'/', ':', "M/d/yyyy", "h:mm:ss AMPM", "AM", "PM"},
    {'.', ':', "dd.MM.yyyy", "hh:mm:ss", "", ""},
    {'-', ':', "yyyy-MM-dd", "HH:mm:ss", "", ""},
    {'/', '.', "d/M/yyy", "AMPM h.mm.ss", "vorm.", "nachm."},
    {'/', ':', "m/d/yy", "h:mm:ss AMPM", "am", "pm"},  // all defaults: the year in the window
};

void CheckRoundTrip(FuzzedDataProvider& in) {
  const auto& settings = kRoundTrips[in.ConsumeIntegralInRange<std::size_t>(0, 4)];
  DateTimeFormatSettings& f = DateTimeFormat;
  f = DateTimeFormatSettings{};
  f.dateSep = settings.dateSep;
  f.timeSep = settings.timeSep;
  f.shortDatePicture = settings.shortDate;
  f.longTimePicture = settings.longTime;
  f.amText = settings.am;
  f.pmText = settings.pm;
  const int currentYear = in.ConsumeIntegralInRange<int>(1601, 9999);
  const FakeClock clock(currentYear, 6, 15);
  const bool twoDigitYear = std::string(settings.shortDate).find("yyy") == std::string::npos;
  const int year = twoDigitYear ? in.ConsumeIntegralInRange<int>(currentYear - 50, currentYear + 49)
                                : in.ConsumeIntegralInRange<int>(1, 9999);
  if (year < 1 || year > 9999) return;
  const auto month = in.ConsumeIntegralInRange<int>(1, 12);
  const auto day = in.ConsumeIntegralInRange<int>(1, civil::DaysInMonth(year, month));
  const DateTimeValue date = DateFromParts(static_cast<std::uint16_t>(year),
                                           static_cast<std::uint16_t>(month),
                                           static_cast<std::uint16_t>(day));
  const DateTimeValue time = TimeFromParts(in.ConsumeIntegralInRange<std::uint16_t>(0, 23),
                                           in.ConsumeIntegralInRange<std::uint16_t>(0, 59),
                                           in.ConsumeIntegralInRange<std::uint16_t>(0, 59), 0);
  // Before 1899-12-30 the fraction counts back from the day, as the reader builds it.
  const DateTimeValue value = date >= 0 ? date + time : date - time;
  const std::string text = DateTimeText(value);
  try {
    FUZZ_CHECK(ParseDateTime(text, ParseKind::DateAndTime, clock) == value);
  } catch (const ConversionError&) {
    FUZZ_CHECK(!"the text of a date and time reads back");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  if (in.ConsumeBool())
    CheckParsing(in);
  else
    CheckRoundTrip(in);
  return 0;
}
