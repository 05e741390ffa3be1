#pragma once
// Reading a date-time text back into a value, by the settings of DateTimeFormat.

#include <string>

#include "foundation/DateTimeValue.h"

// A small number: any value other than these three reads as TimeOnly.
enum class ParseKind : int { DateOnly = 0, TimeOnly = 1, DateAndTime = 2 };

// ConversionError "'%s' is not a valid date" / "... time" / "... date and time" when the
// text does not read as `kind`. The clock gives the current year for two-digit and
// missing years.
DateTimeValue ParseDateTime(const std::string& text, ParseKind kind, const platform::Clock& clock);
