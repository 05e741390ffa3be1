#include "platform/Clock.h"

#include <windows.h>

#include "platform/win32/SystemTimeFields.h"

namespace platform {
namespace {

class Win32Clock : public Clock {
 public:
  SystemTime LocalTime() const override {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return FieldsOf(t);
  }

  TimeZoneInfo TimeZone() const override {
    TIME_ZONE_INFORMATION info{};
    TimeZoneInfo zone;
    // On failure (TIME_ZONE_ID_INVALID) the biases stay 0 and the standard bias applies.
    zone.resultCode = GetTimeZoneInformation(&info);
    if (zone.resultCode != TIME_ZONE_ID_INVALID) {
      zone.bias = info.Bias;
      zone.standardBias = info.StandardBias;
      zone.daylightBias = info.DaylightBias;
    }
    return zone;
  }

  // The zone's rules for that moment's year decide between standard and daylight time.
  std::int32_t BiasAt(const SystemTime& local) const override {
    const SYSTEMTIME l = SystemTimeOf(local);
    SYSTEMTIME u{};
    FILETIME lf{}, uf{};
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &l, &u) || !SystemTimeToFileTime(&l, &lf) ||
        !SystemTimeToFileTime(&u, &uf))
      return Clock::BiasAt(local);
    const auto ticks = [](const FILETIME& f) {
      return static_cast<std::int64_t>((static_cast<std::uint64_t>(f.dwHighDateTime) << 32) |
                                       f.dwLowDateTime);
    };
    constexpr std::int64_t kTicksPerMinute = 600'000'000;
    return static_cast<std::int32_t>((ticks(uf) - ticks(lf)) / kTicksPerMinute);
  }
};

}  // namespace

Clock& SystemClock() {
  static Win32Clock clock;
  return clock;
}

std::optional<SystemTime> SplitFileTime(std::uint64_t fileTime) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(fileTime & 0xFFFFFFFFu);
  ft.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
  SYSTEMTIME t;
  if (!FileTimeToSystemTime(&ft, &t)) return std::nullopt;
  return FieldsOf(t);
}

}  // namespace platform
