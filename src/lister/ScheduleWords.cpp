#include "lister/ScheduleWords.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "app/DueRule.h"

namespace {

constexpr const char* kWeekdays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr std::size_t kDaysInWeek = 7, kDaysInMonth = 31;

using Flags = std::array<bool, kDaysInMonth + 1>;  // by position, 1 to 31

void AppendPosition(std::string& text, bool weekly, std::size_t position) {
  if (weekly) {
    text += kWeekdays[position - 1];
  } else {
    if (position >= 10) text += static_cast<char>('0' + position / 10);
    text += static_cast<char>('0' + position % 10);
  }
}

// The flagged positions joined by ',', with runs of three or more written as first-last.
void AppendRuns(std::string& text, bool weekly, const Flags& flagged) {
  bool first = true;
  for (std::size_t p = 1; p < flagged.size();) {
    if (!flagged[p]) {
      ++p;
      continue;
    }
    std::size_t end = p;
    while (end + 1 < flagged.size() && flagged[end + 1]) ++end;
    if (!first) text += ',';
    first = false;
    AppendPosition(text, weekly, p);
    if (end - p >= 2) {
      text += '-';
      AppendPosition(text, weekly, end);
      p = end + 1;
    } else {
      ++p;
    }
  }
}

void AppendPositionsInWords(std::string& text, bool weekly, const Flags& flagged) {
  const auto count = static_cast<std::size_t>(std::count(flagged.begin(), flagged.end(), true));
  if (count == 0) {
    text += "no day";
  } else if (weekly) {
    if (count == kDaysInWeek)
      text += "every day";
    else
      AppendRuns(text, true, flagged);
  } else if (count == kDaysInMonth) {
    text += "every day of the month";
  } else {
    text += count == 1 ? "day " : "days ";
    AppendRuns(text, false, flagged);
    text += " of the month";
  }
}

void AppendDaysInWords(std::string& text, const std::string& days) {
  const bool weekly = IsWeekly(days);
  const std::size_t last = std::min(days.size(), weekly ? kDaysInWeek : kDaysInMonth);
  Flags flagged{};
  for (std::size_t position = 1; position <= last; ++position)
    flagged[position] = days[position - 1] == '1';
  AppendPositionsInWords(text, weekly, flagged);
}

void AppendTwoDigits(std::string& text, unsigned value) {
  text += static_cast<char>('0' + value / 10 % 10);
  text += static_cast<char>('0' + value % 10);
}

void AppendTimeInWords(std::string& text, const std::optional<DateTimeValue>& t,
                       const std::string& timeText) {
  if (!t || *t < 0 || *t >= 1) {
    text += timeText;
    return;
  }
  const ClockTime time = SplitTime(*t);
  AppendTwoDigits(text, time.hour);
  text += ':';
  AppendTwoDigits(text, time.minute);
  text += ':';
  AppendTwoDigits(text, time.second);
}

}  // namespace

std::string PositionsInWords(bool weekly, const std::vector<std::size_t>& positions) {
  Flags flagged{};
  for (const std::size_t position : positions) flagged[position] = true;
  std::string text;
  AppendPositionsInWords(text, weekly, flagged);
  return text;
}

std::string DaysInWords(const std::string& days) {
  std::string text;
  AppendDaysInWords(text, days);
  return text;
}

std::string TimeInWords(const std::optional<DateTimeValue>& t, const std::string& timeText) {
  std::string text;
  AppendTimeInWords(text, t, timeText);
  return text;
}

std::string ScheduleInWords(const std::string& days, const std::optional<DateTimeValue>& t,
                            const std::string& timeText) {
  return ScheduleWordsMaker()(days, t, timeText);
}

std::string ScheduleWordsMaker::operator()(const std::string& days,
                                           const std::optional<DateTimeValue>& t,
                                           const std::string& timeText) {
  auto known = daysInWords_.find(days);
  if (known == daysInWords_.end()) known = daysInWords_.emplace(days, DaysInWords(days)).first;
  std::string text;
  text.reserve(known->second.size() + 1 + std::max(timeText.size(), std::size_t{8}));
  text += known->second;
  text += ' ';
  AppendTimeInWords(text, t, timeText);
  return text;
}
