// Rendering arbitrary pictures, for arbitrary values under arbitrary settings: the text is
// never longer than 256 characters, however deep or long the pictures and names.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "foundation/DateTimeFormat.h"
#include "foundation/DateTimeText.h"

namespace {

constexpr std::size_t kMaxText = 256;

// Now and then a text longer than the whole output, so the cut lands inside it.
std::string SomeText(FuzzedDataProvider& in) {
  if (in.ConsumeIntegralInRange<int>(0, 15) == 0)
    return std::string(in.ConsumeIntegralInRange<std::size_t>(250, 300),
                       in.ConsumeIntegral<char>());
  return in.ConsumeRandomLengthString(24);
}

DateTimeValue SomeValue(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0: {  // any bits: NaN, infinities, values far outside the calendar
      const auto bits = in.ConsumeIntegral<std::uint64_t>();
      double value;
      std::memcpy(&value, &bits, sizeof value);
      return value;
    }
    case 1:  // within the calendar, to the millisecond
      return in.ConsumeIntegralInRange<std::int64_t>(-693593LL * 86'400'000,
                                                     2958466LL * 86'400'000 - 1) /
             86'400'000.0;
    default:
      return in.ConsumeFloatingPointInRange<double>(-700000.0, 3000000.0);
  }
}

void PickSettings(FuzzedDataProvider& in) {
  DateTimeFormatSettings& f = DateTimeFormat;
  f = DateTimeFormatSettings{};
  if (in.ConsumeBool()) return;  // the defaults
  f.dateSep = in.ConsumeIntegral<char>();
  f.timeSep = in.ConsumeIntegral<char>();
  f.decimalSep = in.ConsumeIntegral<char>();
  // Pictures that name pictures, names and designators of any length.
  f.shortDatePicture = SomeText(in);
  f.longDatePicture = SomeText(in);
  f.shortTimePicture = SomeText(in);
  f.longTimePicture = SomeText(in);
  f.amText = SomeText(in);
  f.pmText = SomeText(in);
  f.monthNames[in.ConsumeIntegralInRange<std::size_t>(0, 11)] = SomeText(in);
  f.monthAbbrevs[in.ConsumeIntegralInRange<std::size_t>(0, 11)] = SomeText(in);
  f.dayNames[in.ConsumeIntegralInRange<std::size_t>(0, 6)] = SomeText(in);
  f.dayAbbrevs[in.ConsumeIntegralInRange<std::size_t>(0, 6)] = SomeText(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const DateTimeValue value = SomeValue(in);
  PickSettings(in);
  const std::string picture = in.ConsumeRemainingBytesAsString();
  FUZZ_CHECK(RenderPicture(picture, value).size() <= kMaxText);
  FUZZ_CHECK(DateTimeText(value).size() <= kMaxText);
  return 0;
}
