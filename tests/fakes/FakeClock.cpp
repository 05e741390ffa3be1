#include "fakes/FakeClock.h"

#include "foundation/CivilDays.h"

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;

}  // namespace

FakeClock::FakeClock(int year, int month, int day, int hour, int minute, int second,
                     int millisecond) {
  Set(year, month, day, hour, minute, second, millisecond);
}

void FakeClock::Set(int year, int month, int day, int hour, int minute, int second,
                    int millisecond) {
  millisecondsSinceYear1_ = (civil::DayNumberFromCivil(year, month, day) - 1) * kMsPerDay +
                            hour * 3'600'000LL + minute * 60'000LL + second * 1'000LL + millisecond;
}

void FakeClock::SetTimeOfDay(int hour, int minute, int second, int millisecond) {
  const auto t = LocalTime();
  Set(t.year, t.month, t.day, hour, minute, second, millisecond);
}

void FakeClock::AdvanceMilliseconds(std::int64_t milliseconds) {
  millisecondsSinceYear1_ += milliseconds;
}

platform::SystemTime FakeClock::LocalTime() const {
  const std::int64_t dayNumber = millisecondsSinceYear1_ / kMsPerDay + 1;
  const std::int64_t ms = millisecondsSinceYear1_ % kMsPerDay;
  const civil::Date date = civil::CivilFromDayNumber(dayNumber);
  platform::SystemTime t;
  t.year = static_cast<std::uint16_t>(date.year);
  t.month = static_cast<std::uint16_t>(date.month);
  t.day = static_cast<std::uint16_t>(date.day);
  t.dayOfWeek = static_cast<std::uint16_t>(dayNumber % 7);  // day 1, 0001-01-01, was a Monday
  t.hour = static_cast<std::uint16_t>(ms / 3'600'000);
  t.minute = static_cast<std::uint16_t>(ms / 60'000 % 60);
  t.second = static_cast<std::uint16_t>(ms / 1'000 % 60);
  t.milliseconds = static_cast<std::uint16_t>(ms % 1'000);
  millisecondsSinceYear1_ += stepPerReading_;
  return t;
}
