// What every clock shares, whatever the platform.

#include "platform/Clock.h"

namespace platform {

std::int32_t Clock::BiasAt(const SystemTime&) const {
  const TimeZoneInfo zone = TimeZone();
  return zone.bias +
         (zone.resultCode == kTimeZoneIdDaylight ? zone.daylightBias : zone.standardBias);
}

}  // namespace platform
