// The engine as its callers use it: the four text queries the dialog runs on
// every change of its fields, and the answer to one line of `orbel-cli batch`.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "batch.h"
#include "bench_cases.h"
#include "civil_days.h"
#include "lunar_phase.h"
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

// A year's phase list: every new moon, first quarter, full moon and last
// quarter of 2026 (about fifty instants) in time order.
void BM_YearPhases_Orbel(benchmark::State& state) {
  const double first = static_cast<double>(orbel_bench::DaysFromCivil(2026, 1, 1)) - 0.5;
  const double end = static_cast<double>(orbel_bench::DaysFromCivil(2027, 1, 1)) - 0.5;
  std::vector<double> instants;
  for (auto _ : state) {
    instants.clear();
    for (const PrincipalPhase phase : {kNewMoon, kFirstQuarter, kFullMoon, kLastQuarter}) {
      for (double t = NextPrincipalPhase(first, phase); t < end;
           t = NextPrincipalPhase(t + 1, phase)) {
        instants.push_back(t);
      }
    }
    std::sort(instants.begin(), instants.end());
    benchmark::DoNotOptimize(instants.data());
  }
  state.counters["instants"] = static_cast<double>(instants.size());
}
BENCHMARK(BM_YearPhases_Orbel);

}  // namespace
