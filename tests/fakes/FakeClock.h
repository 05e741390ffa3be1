#pragma once
// A clock that stands still until told otherwise: set it, advance it, read it. It counts in
// the program's own calendar (foundation/CivilDays.h), from 0001-01-01 to 65535-12-31. Told
// to, it moves on by itself after each reading, as a real clock does between two readings.

#include <cstdint>

#include "platform/Clock.h"

class FakeClock : public platform::Clock {
 public:
  FakeClock(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
            int millisecond = 0);

  void Set(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
           int millisecond = 0);
  void SetTimeOfDay(int hour, int minute, int second, int millisecond = 0);
  void AdvanceMilliseconds(std::int64_t milliseconds);
  void AdvanceSeconds(std::int64_t seconds) { AdvanceMilliseconds(seconds * 1000); }
  void AdvanceAfterEachReading(std::int64_t milliseconds) { stepPerReading_ = milliseconds; }

  platform::SystemTime LocalTime() const override;
  platform::TimeZoneInfo TimeZone() const override { return zone; }

  platform::TimeZoneInfo zone;  // UTC unless a test says otherwise

 private:
  // Local time, since 0001-01-01 00:00; moved by a reading when a step is set.
  mutable std::int64_t millisecondsSinceYear1_ = 0;
  std::int64_t stepPerReading_ = 0;
};
