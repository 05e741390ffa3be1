#pragma once
// Keeps the process-wide date-time format of a test from leaking into the next one.

#include "foundation/DateTimeFormat.h"

class ScopedDateTimeFormat {
 public:
  ScopedDateTimeFormat() : saved_(DateTimeFormat) { DateTimeFormat = DateTimeFormatSettings{}; }
  ~ScopedDateTimeFormat() { DateTimeFormat = saved_; }
  ScopedDateTimeFormat(const ScopedDateTimeFormat&) = delete;
  ScopedDateTimeFormat& operator=(const ScopedDateTimeFormat&) = delete;

 private:
  DateTimeFormatSettings saved_;
};
