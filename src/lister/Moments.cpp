#include "lister/Moments.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "foundation/CivilDays.h"
#include "foundation/DateTimeText.h"

namespace {

// Reads exactly `digits` decimal digits at `pos`, moving past them.
std::optional<int> Number(std::string_view text, std::size_t& pos, std::size_t digits) {
  if (pos + digits > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const char c = text[pos + i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  pos += digits;
  return value;
}

bool Take(std::string_view text, std::size_t& pos, char c) {
  if (pos >= text.size() || text[pos] != c) return false;
  ++pos;
  return true;
}

// "hh:mm[:ss[.f...]]" from `pos` to the end of the text.
bool ReadTime(std::string_view text, std::size_t pos, platform::SystemTime& t) {
  const auto hour = Number(text, pos, 2);
  if (!hour || !Take(text, pos, ':')) return false;
  const auto minute = Number(text, pos, 2);
  if (!minute) return false;
  int second = 0, milliseconds = 0;
  if (Take(text, pos, ':')) {
    const auto s = Number(text, pos, 2);
    if (!s) return false;
    second = *s;
    if (Take(text, pos, '.') || Take(text, pos, ',')) {
      int scale = 100, digits = 0;
      while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        milliseconds += (text[pos++] - '0') * scale;
        scale /= 10;
        ++digits;
      }
      if (digits == 0) return false;
    }
  }
  if (pos != text.size() || *hour > 23 || *minute > 59 || second > 59) return false;
  t.hour = static_cast<std::uint16_t>(*hour);
  t.minute = static_cast<std::uint16_t>(*minute);
  t.second = static_cast<std::uint16_t>(second);
  t.milliseconds = static_cast<std::uint16_t>(milliseconds);
  return true;
}

}  // namespace

std::optional<platform::SystemTime> ParseLocalMoment(std::string_view text,
                                                     const platform::SystemTime& today) {
  platform::SystemTime t;
  if (text.size() >= 3 && text[2] == ':') {
    t.year = today.year, t.month = today.month, t.day = today.day;
    if (!ReadTime(text, 0, t)) return std::nullopt;
  } else {
    std::size_t pos = 0;
    const auto year = Number(text, pos, 4);
    if (!year || !Take(text, pos, '-')) return std::nullopt;
    const auto month = Number(text, pos, 2);
    if (!month || !Take(text, pos, '-')) return std::nullopt;
    const auto day = Number(text, pos, 2);
    if (!day || !civil::ValidDate(*year, *month, *day)) return std::nullopt;
    t.year = static_cast<std::uint16_t>(*year);
    t.month = static_cast<std::uint16_t>(*month);
    t.day = static_cast<std::uint16_t>(*day);
    if (pos < text.size()) {
      if (text[pos] != 'T' && text[pos] != 't' && text[pos] != ' ') return std::nullopt;
      if (!ReadTime(text, pos + 1, t)) return std::nullopt;
    }
  }
  t.dayOfWeek = static_cast<std::uint16_t>(WeekdayNumber(DateFromParts(t.year, t.month, t.day)) - 1);
  return t;
}

platform::SystemTime FieldsOf(DateTimeValue value) {
  const DateTimeParts parts = SplitDateTime(value);
  platform::SystemTime t;
  t.year = parts.date.year;
  t.month = parts.date.month;
  t.day = parts.date.day;
  t.dayOfWeek = static_cast<std::uint16_t>(parts.weekday - 1);
  t.hour = parts.time.hour;
  t.minute = parts.time.minute;
  t.second = parts.time.second;
  t.milliseconds = parts.time.millisecond;
  return t;
}

std::string IsoMoment(DateTimeValue local, const platform::Clock& clock) {
  const platform::SystemTime t = FieldsOf(local);
  const int offset = -clock.BiasAt(t);  // minutes east of UTC
  char text[48];
  int length = std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", unsigned{t.year},
                             unsigned{t.month}, unsigned{t.day}, unsigned{t.hour},
                             unsigned{t.minute}, unsigned{t.second});
  if (t.milliseconds != 0)
    length += std::snprintf(text + length, sizeof text - length, ".%03u", unsigned{t.milliseconds});
  std::snprintf(text + length, sizeof text - length, "%c%02d:%02d", offset < 0 ? '-' : '+',
                std::abs(offset) / 60, std::abs(offset) % 60);
  return text;
}

DateTimeValue UtcValue(DateTimeValue local, const platform::Clock& clock) {
  return local + clock.BiasAt(FieldsOf(local)) / 1440.0;
}

std::string MomentText(DateTimeValue value) { return DateTimeText(value); }

std::string SpanInWords(DateTimeValue span) {
  const long long seconds = std::llround(std::fabs(span) * 86'400);
  const long long units[] = {seconds / 86'400, seconds / 3'600 % 24, seconds / 60 % 60,
                             seconds % 60};
  const char names[] = {'d', 'h', 'm', 's'};
  std::string text;
  for (int i = 0; i < 3; ++i)
    if (units[i] > 0) {
      ((text += std::to_string(units[i])) += names[i]) += ' ';
      (text += std::to_string(units[i + 1])) += names[i + 1];
      return text;
    }
  (text += std::to_string(units[3])) += names[3];
  return text;
}

std::string LeftText(DateTimeValue nowUtc, DateTimeValue next, const platform::Clock& clock) {
  const DateTimeValue span = UtcValue(next, clock) - nowUtc;
  return span <= 0 ? "now" : SpanInWords(span);
}

std::string PassedText(DateTimeValue nowUtc, DateTimeValue last, const platform::Clock& clock) {
  const DateTimeValue span = nowUtc - UtcValue(last, clock);
  return span < 0 ? "in " + SpanInWords(span) : SpanInWords(span);
}
