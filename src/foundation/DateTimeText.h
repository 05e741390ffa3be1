#pragma once
// Date-time values as text, by the pictures of DateTimeFormat.

#include <string>
#include <string_view>

#include "foundation/DateTimeValue.h"

// Renders `picture` for `value`; at most 256 characters, an empty picture reads as "c".
std::string RenderPicture(std::string_view picture, DateTimeValue value);
// The short date, then the long time unless hour, minute and second are all 0.
std::string DateTimeText(DateTimeValue value);
