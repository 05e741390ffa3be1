#pragma once
// The user's locale, asked item by item the way GetLocaleInfoA answers. The POSIX backend
// maps the items onto the environment's LC_TIME / LC_NUMERIC locale (nl_langinfo) and
// fails every query in the C or POSIX locale, so that the defaults apply.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

// Locale items, numbered as the Windows LCTYPE constants.
namespace locale_item {
inline constexpr std::uint32_t kDecimalSep = 0x0E;         // LOCALE_SDECIMAL
inline constexpr std::uint32_t kDateSep = 0x1D;            // LOCALE_SDATE
inline constexpr std::uint32_t kTimeSep = 0x1E;            // LOCALE_STIME
inline constexpr std::uint32_t kShortDate = 0x1F;          // LOCALE_SSHORTDATE
inline constexpr std::uint32_t kLongDate = 0x20;           // LOCALE_SLONGDATE
inline constexpr std::uint32_t kTimeClock = 0x23;          // LOCALE_ITIME: 0 = 12-hour clock
inline constexpr std::uint32_t kHourLeadingZero = 0x25;    // LOCALE_ITLZERO
inline constexpr std::uint32_t kAmDesignator = 0x28;       // LOCALE_S1159
inline constexpr std::uint32_t kPmDesignator = 0x29;       // LOCALE_S2359
inline constexpr std::uint32_t kDayName1 = 0x2A;           // LOCALE_SDAYNAME1 (Monday) .. +6
inline constexpr std::uint32_t kAbbrevDayName1 = 0x31;     // LOCALE_SABBREVDAYNAME1 .. +6
inline constexpr std::uint32_t kMonthName1 = 0x38;         // LOCALE_SMONTHNAME1 .. +11
inline constexpr std::uint32_t kAbbrevMonthName1 = 0x44;   // LOCALE_SABBREVMONTHNAME1 .. +11
inline constexpr std::uint32_t kTimeMarkPosition = 0x1005; // LOCALE_ITIMEMARKPOSN
inline constexpr std::uint32_t kCalendarType = 0x1009;     // LOCALE_ICALENDARTYPE
}  // namespace locale_item

class LocaleSource {
 public:
  virtual ~LocaleSource() = default;
  // The item's text, asked with room for `capacity` bytes including the terminator;
  // nothing when the query fails (also when the text does not fit).
  virtual std::optional<std::string> Item(std::uint32_t item, int capacity) const = 0;
  // Primary language of the locale, numbered as PRIMARYLANGID (0x04 Chinese,
  // 0x11 Japanese, 0x12 Korean).
  virtual unsigned PrimaryLanguage() const = 0;
  // Before a reload after a settings change: the thread's locale goes back to the
  // user's default (SetThreadLocale(LOCALE_USER_DEFAULT)).
  virtual void ResetThreadLocale() = 0;
};

LocaleSource& SystemLocale();

}  // namespace platform
