// Cost of single engine queries and of the four text queries the dialog runs
// on every change of its fields.
#include <benchmark/benchmark.h>

#include "moon_age.h"
#include "moon_events.h"
#include "sun_events.h"

namespace {

const double kLat = 48.743333333333333;
const double kLon = 9.3075;

void BM_SunriseText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SunriseText(14, 12, 1999, kLat, kLon, -1));
}
BENCHMARK(BM_SunriseText);

void BM_MoonriseText(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(MoonriseText(14, 12, 1999, kLat, kLon, -1));
}
BENCHMARK(BM_MoonriseText);

void BM_MoonAge(benchmark::State& state) {
  uint8_t day = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MoonAge(day, 12, 1999));
    day = static_cast<uint8_t>(day % 31 + 1);
  }
}
BENCHMARK(BM_MoonAge);

// Sunrise, sunset, moonset, moonrise: one recomputation of the dialog.
void BM_FourTextQueries(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(SunriseText(14, 12, 1999, kLat, kLon, -1));
    benchmark::DoNotOptimize(SunsetText(14, 12, 1999, kLat, kLon, -1));
    benchmark::DoNotOptimize(MoonsetText(14, 12, 1999, kLat, kLon, -1));
    benchmark::DoNotOptimize(MoonriseText(14, 12, 1999, kLat, kLon, -1));
  }
}
BENCHMARK(BM_FourTextQueries);

}  // namespace
