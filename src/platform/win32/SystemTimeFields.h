#pragma once
// The one copy between the system's SYSTEMTIME and the program's calendar fields, both ways.

#include <windows.h>

#include "platform/Clock.h"

namespace platform {

inline SystemTime FieldsOf(const SYSTEMTIME& t) {
  return SystemTime{.year = t.wYear,
                    .month = t.wMonth,
                    .dayOfWeek = t.wDayOfWeek,
                    .day = t.wDay,
                    .hour = t.wHour,
                    .minute = t.wMinute,
                    .second = t.wSecond,
                    .milliseconds = t.wMilliseconds};
}

inline SYSTEMTIME SystemTimeOf(const SystemTime& s) {
  return SYSTEMTIME{.wYear = s.year,
                    .wMonth = s.month,
                    .wDayOfWeek = s.dayOfWeek,
                    .wDay = s.day,
                    .wHour = s.hour,
                    .wMinute = s.minute,
                    .wSecond = s.second,
                    .wMilliseconds = s.milliseconds};
}

}  // namespace platform
