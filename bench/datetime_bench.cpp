// Date-time text against the C library: DateTimeText versus gmtime_r + strftime, and
// ParseDateTime versus strptime + timegm, over the same moments and equivalent formats
// ("M/d/yyyy h:mm:ss AMPM" and "%m/%d/%Y %I:%M:%S %p").

#include <benchmark/benchmark.h>
#include <time.h>

#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "foundation/DateTimeFormat.h"
#include "foundation/DateTimeText.h"
#include "foundation/ParseDateTime.h"

namespace {

constexpr int kMoments = 1024;
constexpr double kUnixEpochValue = 25569;  // 1970-01-01

void UseUsSettings() {
  DateTimeFormat = DateTimeFormatSettings{};
  DateTimeFormat.shortDatePicture = "M/d/yyyy";
  DateTimeFormat.amText = "AM";
  DateTimeFormat.pmText = "PM";
}

// Whole seconds spread over 1990 to 2060.
std::vector<time_t> Moments() {
  std::vector<time_t> moments;
  for (int i = 0; i < kMoments; ++i)
    moments.push_back(631152000 + static_cast<time_t>(i) * 2208985 + (i * 7919) % 86400);
  return moments;
}

double ValueOf(time_t t) { return kUnixEpochValue + static_cast<double>(t) / 86400.0; }

void BM_DateTimeText(benchmark::State& state) {
  UseUsSettings();
  std::vector<double> values;
  for (time_t t : Moments()) values.push_back(ValueOf(t));
  std::size_t i = 0;
  for (auto _ : state) {
    std::string text = DateTimeText(values[i++ % kMoments]);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_DateTimeText);

void BM_strftime(benchmark::State& state) {
  const std::vector<time_t> moments = Moments();
  std::size_t i = 0;
  for (auto _ : state) {
    tm fields{};
    gmtime_r(&moments[i++ % kMoments], &fields);
    char buffer[64];
    const std::size_t length = strftime(buffer, sizeof buffer, "%m/%d/%Y %I:%M:%S %p", &fields);
    std::string text(buffer, length);
    benchmark::DoNotOptimize(text);
  }
}
BENCHMARK(BM_strftime);

void BM_ParseDateTime(benchmark::State& state) {
  UseUsSettings();
  const FakeClock clock(2026, 3, 1);
  std::vector<std::string> texts;
  for (time_t t : Moments()) texts.push_back(DateTimeText(ValueOf(t)));
  std::size_t i = 0;
  for (auto _ : state) {
    double value = ParseDateTime(texts[i++ % kMoments], ParseKind::DateAndTime, clock);
    benchmark::DoNotOptimize(value);
  }
}
BENCHMARK(BM_ParseDateTime);

void BM_strptime(benchmark::State& state) {
  std::vector<std::string> texts;
  for (time_t t : Moments()) {
    tm fields{};
    gmtime_r(&t, &fields);
    char buffer[64];
    texts.emplace_back(buffer, strftime(buffer, sizeof buffer, "%m/%d/%Y %I:%M:%S %p", &fields));
  }
  std::size_t i = 0;
  for (auto _ : state) {
    tm fields{};
    strptime(texts[i++ % kMoments].c_str(), "%m/%d/%Y %I:%M:%S %p", &fields);
    time_t t = timegm(&fields);
    benchmark::DoNotOptimize(t);
  }
}
BENCHMARK(BM_strptime);

}  // namespace
