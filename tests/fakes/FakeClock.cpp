#include "fakes/FakeClock.h"

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date, and back (era-of-400-years method).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

constexpr std::int64_t kMsPerDay = 86'400'000;

}  // namespace

FakeClock::FakeClock(int year, int month, int day, int hour, int minute, int second,
                     int millisecond) {
  Set(year, month, day, hour, minute, second, millisecond);
}

void FakeClock::Set(int year, int month, int day, int hour, int minute, int second,
                    int millisecond) {
  millisecondsSinceEpoch_ = DaysFromCivil(year, month, day) * kMsPerDay + hour * 3'600'000LL +
                            minute * 60'000LL + second * 1'000LL + millisecond;
}

void FakeClock::SetTimeOfDay(int hour, int minute, int second, int millisecond) {
  const auto t = LocalTime();
  Set(t.year, t.month, t.day, hour, minute, second, millisecond);
}

void FakeClock::AdvanceMilliseconds(std::int64_t milliseconds) {
  millisecondsSinceEpoch_ += milliseconds;
}

platform::SystemTime FakeClock::LocalTime() const {
  std::int64_t days = millisecondsSinceEpoch_ / kMsPerDay;
  std::int64_t ms = millisecondsSinceEpoch_ % kMsPerDay;
  if (ms < 0) ms += kMsPerDay, --days;
  int y;
  unsigned m, d;
  CivilFromDays(days, y, m, d);
  platform::SystemTime t;
  t.year = static_cast<std::uint16_t>(y);
  t.month = static_cast<std::uint16_t>(m);
  t.day = static_cast<std::uint16_t>(d);
  t.dayOfWeek = static_cast<std::uint16_t>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
  t.hour = static_cast<std::uint16_t>(ms / 3'600'000);
  t.minute = static_cast<std::uint16_t>(ms / 60'000 % 60);
  t.second = static_cast<std::uint16_t>(ms / 1'000 % 60);
  t.milliseconds = static_cast<std::uint16_t>(ms % 1'000);
  return t;
}
