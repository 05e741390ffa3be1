#include "platform/Clock.h"

#include <time.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "foundation/Exception.h"
#include "platform/FileTime.h"

namespace platform {
namespace {

constexpr time_t kSecondsPerDay = 86'400;

SystemTime FieldsOf(const tm& t, unsigned milliseconds) {
  SystemTime s;
  s.year = static_cast<std::uint16_t>(t.tm_year + 1900);
  s.month = static_cast<std::uint16_t>(t.tm_mon + 1);
  s.dayOfWeek = static_cast<std::uint16_t>(t.tm_wday);
  s.day = static_cast<std::uint16_t>(t.tm_mday);
  s.hour = static_cast<std::uint16_t>(t.tm_hour);
  s.minute = static_cast<std::uint16_t>(t.tm_min);
  s.second = static_cast<std::uint16_t>(t.tm_sec > 59 ? 59 : t.tm_sec);  // no leap second
  s.milliseconds = static_cast<std::uint16_t>(milliseconds);
  return s;
}

[[noreturn]] void Fail(const char* call) {
  throw Exception(std::string(call) + " failed: " + std::strerror(errno));
}

class PosixClock : public Clock {
 public:
  // The zone is looked at again on every reading, so on every tick: localtime_r alone reads
  // it once per process, and a scheduler running since log-on would keep starting jobs at
  // the old zone's hours after the zone changed (travel, the desktop's automatic zone, a
  // change by hand), where GetLocalTime answers in the zone the system has now. tzset
  // re-reads the zone file only when it changed (a status call otherwise). The zone then
  // holds for TimeZone and BiasAt until the next reading.
  SystemTime LocalTime() const override {
    tzset();
    // A failed call would leave 1970-01-01 in place of now: a wrong day for every job.
    timespec now{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0) Fail("clock_gettime");
    tm local{};
    if (localtime_r(&now.tv_sec, &local) == nullptr) Fail("localtime_r");
    return FieldsOf(local, static_cast<unsigned>(now.tv_nsec / 1'000'000));
  }

  // The zone in the shape Windows reports it: Bias is the standard offset, DaylightBias the
  // extra offset of daylight saving time, and result code 2 while it is in effect. The C
  // library tells only the offset of a given moment, so the other season's offset is found
  // by looking at the moments of the year around now.
  TimeZoneInfo TimeZone() const override {
    // A zone that cannot be read is UTC with no daylight saving time, as a failed
    // GetTimeZoneInformation gives the standard bias.
    TimeZoneInfo zone;
    const time_t now = time(nullptr);
    tm local{};
    if (now == static_cast<time_t>(-1) || localtime_r(&now, &local) == nullptr) return zone;
    long standardOffset = local.tm_gmtoff, daylightOffset = local.tm_gmtoff;
    bool zoneHasDaylight = local.tm_isdst > 0;
    for (int week = -26; week <= 26; ++week) {
      const time_t probe = now + week * 7 * kSecondsPerDay;
      tm t{};
      if (localtime_r(&probe, &t) == nullptr) continue;
      if (t.tm_isdst > 0 && local.tm_isdst <= 0) {
        daylightOffset = t.tm_gmtoff;
        zoneHasDaylight = true;
        break;
      }
      if (t.tm_isdst == 0 && local.tm_isdst > 0) {
        standardOffset = t.tm_gmtoff;
        break;
      }
    }
    zone.bias = static_cast<std::int32_t>(-standardOffset / 60);
    zone.standardBias = 0;
    zone.daylightBias = static_cast<std::int32_t>(-(daylightOffset - standardOffset) / 60);
    zone.resultCode = local.tm_isdst > 0 ? kTimeZoneIdDaylight : (zoneHasDaylight ? 1u : 0u);
    return zone;
  }

  // The C library knows the offset of any moment: mktime finds whether summer time applies
  // then. A local moment that a change of offset skips or repeats gets one of the offsets
  // around it.
  std::int32_t BiasAt(const SystemTime& local) const override {
    tm t{};
    t.tm_year = local.year - 1900;
    t.tm_mon = local.month - 1;
    t.tm_mday = local.day;
    t.tm_hour = local.hour;
    t.tm_min = local.minute;
    t.tm_sec = local.second;
    t.tm_isdst = -1;
    if (mktime(&t) == static_cast<time_t>(-1)) return Clock::BiasAt(local);
    return static_cast<std::int32_t>(-t.tm_gmtoff / 60);
  }
};

}  // namespace

Clock& SystemClock() {
  static PosixClock clock;
  return clock;
}

std::optional<SystemTime> SplitFileTime(std::uint64_t fileTime) {
  // As on Windows, file times with the top bit set cannot be split.
  if (fileTime >= (std::uint64_t{1} << 63)) return std::nullopt;
  const auto ticks = static_cast<std::int64_t>(fileTime);
  const time_t seconds =
      static_cast<time_t>(ticks / kFileTimeTicksPerSecond - kSecondsFrom1601To1970);
  tm utc{};
  if (gmtime_r(&seconds, &utc) == nullptr) return std::nullopt;
  return FieldsOf(utc, static_cast<unsigned>(ticks % kFileTimeTicksPerSecond / 10'000));
}

}  // namespace platform
