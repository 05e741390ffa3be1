#pragma once
// Moments as the lister takes and gives them: --now in ISO 8601 local time, ISO 8601 with
// the UTC offset for JSON, and a clock that stands at the moment looked at.

#include <optional>
#include <string>
#include <string_view>

#include "foundation/DateTimeValue.h"
#include "platform/Clock.h"

// A local moment written "2026-12-09T14:29:00" (seconds and a fraction of them optional,
// ' ' instead of 'T' allowed), "2026-12-09" (midnight), or "14:29[:00]" (that time of the
// day of `today`). Nothing when the text is none of these or names no real moment.
std::optional<platform::SystemTime> ParseLocalMoment(std::string_view text,
                                                     const platform::SystemTime& today);

// The calendar fields of a date-time value, the weekday included.
platform::SystemTime FieldsOf(DateTimeValue value);

// "2026-12-09T14:30:00+01:00": the local moment with the offset from UTC that the clock's
// zone gives for it; milliseconds only when there are any.
std::string IsoMoment(DateTimeValue local, const platform::Clock& clock);

// The same moment in UTC, as a value: for spans across a change of offset.
DateTimeValue UtcValue(DateTimeValue local, const platform::Clock& clock);

// A clock that stands still at one local moment and answers for the zone as `zone` does.
class FixedClock : public platform::Clock {
 public:
  FixedClock(const platform::SystemTime& moment, const platform::Clock& zone)
      : moment_(moment), zone_(zone) {}
  platform::SystemTime LocalTime() const override { return moment_; }
  platform::TimeZoneInfo TimeZone() const override { return zone_.TimeZone(); }
  std::int32_t BiasAt(const platform::SystemTime& local) const override {
    return zone_.BiasAt(local);
  }

 private:
  platform::SystemTime moment_;
  const platform::Clock& zone_;
};
