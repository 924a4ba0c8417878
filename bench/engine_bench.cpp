// The engine as its callers use it: the four text queries the dialog runs on
// every change of its fields, and the answer to one line of `orbel-cli batch`.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>
#include <vector>

#include "batch.h"
#include "bench_cases.h"
#include "moon_events.h"
#include "sun_events.h"

namespace {

const double kLat = 48.743333333333333;
const double kLon = 9.3075;

// Sunrise, sunset, moonset, moonrise as RecomputeEvents asks for them: four
// text queries, each a full scan of its body's day.
void BM_DialogTextQueries(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(SunriseText(14, 12, 1999, kLat, kLon, -1));
    benchmark::DoNotOptimize(SunsetText(14, 12, 1999, kLat, kLon, -1));
    benchmark::DoNotOptimize(MoonsetText(14, 12, 1999, kLat, kLon, -1));
    benchmark::DoNotOptimize(MoonriseText(14, 12, 1999, kLat, kLon, -1));
  }
}
BENCHMARK(BM_DialogTextQueries);

// The 17 results of one batch line (one scan of each body, the moon's age and
// the text) for the sixteen cases in turn: the computing part of a line,
// without reading, parsing or writing it.
void BM_BatchLine_Orbel(benchmark::State& state) {
  const std::vector<DayQuery>& cases = orbel_bench::BenchCases();
  std::string out;
  size_t i = 0;
  for (auto _ : state) {
    out.clear();
    orbel::AppendBatchResult(cases[i], out);
    benchmark::DoNotOptimize(out.data());
    if (++i == cases.size()) i = 0;
  }
}
BENCHMARK(BM_BatchLine_Orbel);

}  // namespace
