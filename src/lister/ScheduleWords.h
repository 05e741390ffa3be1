#pragma once
// A job's schedule in words for people: "Mon-Fri 14:30:00", "days 1,15 of the month 02:30:00".

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/DateTimeValue.h"

// The days a `days` text flags: "every day", "Mon-Fri", "Sat,Sun", "day 1 of the month",
// "days 1-5,15 of the month", "no day".
std::string DaysInWords(const std::string& days);

// Day positions (weekdays from Monday = 1, or days of the month) in words, as above.
std::string PositionsInWords(bool weekly, const std::vector<std::size_t>& positions);

// The time of day as hh:mm:ss (24 hours); the text itself when it does not read as a time
// of day.
std::string TimeInWords(const std::optional<DateTimeValue>& t, const std::string& timeText);

// The days in words, then the time: "Mon-Fri 14:30:00".
std::string ScheduleInWords(const std::string& days, const std::optional<DateTimeValue>& t,
                            const std::string& timeText);

// ScheduleInWords for the many jobs of a folder, which mostly share a few `days` texts: the
// days in words are worked out once for each.
class ScheduleWordsMaker {
 public:
  std::string operator()(const std::string& days, const std::optional<DateTimeValue>& t,
                         const std::string& timeText);

 private:
  std::unordered_map<std::string, std::string> daysInWords_;
};
