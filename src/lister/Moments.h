#pragma once
// Moments and spans as the lister takes and gives them: --now in ISO 8601 local time, ISO 8601
// with the UTC offset for JSON, the scheduler's own text form, spans in words, and a clock
// that stands at the moment looked at.

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

// A moment in the scheduler's own text form (the form the store holds).
std::string MomentText(DateTimeValue value);

// A span of time, in days, as its two largest units: "2d 3h", "3h 5m", "5m 10s", "10s".
std::string SpanInWords(DateTimeValue span);

// How long from `nowUtc` (a moment in UTC, UtcValue) until the local moment `next`: "1m 0s",
// "now" once it is due.
std::string LeftText(DateTimeValue nowUtc, DateTimeValue next, const platform::Clock& clock);
// How long ago the local moment `last` was: "1d 0h"; "in 2d 1h" for a moment still to come.
std::string PassedText(DateTimeValue nowUtc, DateTimeValue last, const platform::Clock& clock);

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
