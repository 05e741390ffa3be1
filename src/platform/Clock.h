#pragma once
// The local wall clock and the time-zone settings, in the shape Windows gives them.

#include <cstdint>
#include <optional>

namespace platform {

// Calendar fields of a moment (SYSTEMTIME): month 1-12, dayOfWeek 0 = Sunday.
struct SystemTime {
  std::uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
  std::uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// Minutes to add to local time to get UTC (TIME_ZONE_INFORMATION), and the result code of
// the query: 2 (TimeZoneIdDaylight) while daylight saving time is in effect.
struct TimeZoneInfo {
  std::int32_t bias = 0, standardBias = 0, daylightBias = 0;
  std::uint32_t resultCode = 0;
};
inline constexpr std::uint32_t kTimeZoneIdDaylight = 2;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual SystemTime LocalTime() const = 0;        // GetLocalTime
  virtual TimeZoneInfo TimeZone() const = 0;       // GetTimeZoneInformation

  // Minutes to add to the local moment `local` to get UTC, by the zone's rule for that
  // moment (summer or winter time as it falls then, not as it is now). The system clocks
  // ask the zone rules; this default applies the bias in force now to every moment.
  virtual std::int32_t BiasAt(const SystemTime& local) const;
};

Clock& SystemClock();

// UTC calendar fields of a file time (100 ns ticks since 1601-01-01 UTC); nothing when the
// platform cannot split it (FileTimeToSystemTime).
std::optional<SystemTime> SplitFileTime(std::uint64_t fileTime);

}  // namespace platform
