#include "lister/ScheduleWords.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/DueRule.h"

namespace {

constexpr const char* kWeekdays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::size_t kDaysInWeek = 7, kDaysInMonth = 31;

std::string PositionName(bool weekly, std::size_t position) {
  return weekly ? kWeekdays[position - 1] : std::to_string(position);
}

// Positions joined by ',', with runs of three or more written as first-last.
std::string Runs(bool weekly, const std::vector<std::size_t>& positions) {
  std::string text;
  for (std::size_t i = 0; i < positions.size();) {
    std::size_t end = i;
    while (end + 1 < positions.size() && positions[end + 1] == positions[end] + 1) ++end;
    if (!text.empty()) text += ',';
    if (end - i >= 2) {
      text += PositionName(weekly, positions[i]) + "-" + PositionName(weekly, positions[end]);
      i = end + 1;
    } else {
      text += PositionName(weekly, positions[i]);
      ++i;
    }
  }
  return text;
}

}  // namespace

std::string PositionsInWords(bool weekly, const std::vector<std::size_t>& positions) {
  if (positions.empty()) return "no day";
  if (weekly) return positions.size() == kDaysInWeek ? "every day" : Runs(true, positions);
  if (positions.size() == kDaysInMonth) return "every day of the month";
  return (positions.size() == 1 ? "day " : "days ") + Runs(false, positions) + " of the month";
}

std::string DaysInWords(const std::string& days) {
  const bool weekly = IsWeekly(days);
  const std::size_t last = std::min(days.size(), weekly ? kDaysInWeek : kDaysInMonth);
  std::vector<std::size_t> flagged;
  for (std::size_t position = 1; position <= last; ++position)
    if (days[position - 1] == '1') flagged.push_back(position);
  return PositionsInWords(weekly, flagged);
}

std::string TimeInWords(const std::optional<DateTimeValue>& t, const std::string& timeText) {
  if (!t || *t < 0 || *t >= 1) return timeText;
  const ClockTime time = SplitTime(*t);
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", unsigned{time.hour}, unsigned{time.minute},
                unsigned{time.second});
  return text;
}

std::string ScheduleInWords(const std::string& days, const std::optional<DateTimeValue>& t,
                            const std::string& timeText) {
  return DaysInWords(days) + " " + TimeInWords(t, timeText);
}

std::string SpanInWords(DateTimeValue span) {
  const long long seconds = std::llround(std::fabs(span) * 86'400);
  const long long units[] = {seconds / 86'400, seconds / 3'600 % 24, seconds / 60 % 60,
                             seconds % 60};
  const char* names[] = {"d", "h", "m", "s"};
  for (int i = 0; i < 3; ++i)
    if (units[i] > 0)
      return std::to_string(units[i]) + names[i] + " " + std::to_string(units[i + 1]) +
             names[i + 1];
  return std::to_string(units[3]) + "s";
}
