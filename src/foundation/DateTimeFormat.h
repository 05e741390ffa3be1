#pragma once
// The process-wide date-time text settings, read from the user's locale at start and again
// whenever the system announces a settings change.

#include <array>
#include <string>

#include "platform/Locale.h"

struct DateTimeFormatSettings {
  char dateSep = '/';     // NUL: no separator
  char timeSep = ':';
  char decimalSep = '.';
  std::string shortDatePicture = "m/d/yy";
  std::string longDatePicture = "mmmm d, yyyy";
  std::string amText = "am";
  std::string pmText = "pm";
  std::string shortTimePicture = "h:mm AMPM";
  std::string longTimePicture = "h:mm:ss AMPM";
  std::array<std::string, 12> monthAbbrevs{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> monthNames{"January", "February", "March",     "April",
                                         "May",     "June",     "July",      "August",
                                         "September", "October", "November", "December"};
  std::array<std::string, 7> dayAbbrevs{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> dayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                      "Thursday", "Friday", "Saturday"};
};

extern DateTimeFormatSettings DateTimeFormat;

// Two-digit years fall in the 100 years that begin CenturyWindow years before this year.
inline constexpr int CenturyWindow = 50;

// Fills DateTimeFormat from the locale; never fails (a failed query keeps its default).
void LoadDateTimeFormat(const platform::LocaleSource& locale);
