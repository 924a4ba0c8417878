// Side by side with libnova: the sun's and the moon's rise and set for the
// sixteen cases of bench/cases.txt, and a year of days at one place.
//
// Ours is one scan of the body's day (SunDay, MoonDay), which gives rise, set
// and every crossing together; libnova's pair is one ln_get_solar_rst /
// ln_get_lunar_rst call, which gives rise and set together. Both start from the
// case's date and place.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <sstream>
#include <vector>

#include "bench_cases.h"
#include "moon_events.h"
#include "render.h"
#include "sun_events.h"
#ifdef ORBEL_HAVE_LIBNOVA
#include "civil_days.h"
#include "libnova_peer.h"
#endif

namespace {

using orbel_bench::BenchCases;

// The place and zone of the year table: Berlin, Central European winter time.
const orbel::Place kTablePlace{52.52, 13.405, "given"};
const int kTableOffset = 3600;  // UTC+01:00
const int kTableYear = 2026;

void BM_SunDay_Orbel(benchmark::State& state) {
  const std::vector<DayQuery>& cases = BenchCases();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(SunDay(cases[i]));
    if (++i == cases.size()) i = 0;
  }
}
BENCHMARK(BM_SunDay_Orbel);

void BM_MoonDay_Orbel(benchmark::State& state) {
  const std::vector<DayQuery>& cases = BenchCases();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(MoonDay(cases[i]));
    if (++i == cases.size()) i = 0;
  }
}
BENCHMARK(BM_MoonDay_Orbel);

// What `orbel-cli table --year 2026 --lat 52.52 --lon 13.405 --zone -1` does
// between parsing its options and writing to standard output.
void BM_YearTable_Orbel(benchmark::State& state) {
  for (auto _ : state) {
    const orbel::Zone zone = orbel::FixedZone(kTableOffset);
    orbel::YearTable table{kTableYear, kTablePlace, "", nullptr, {}, {}};
    table.days = orbel::ComputeYear(
                     table.year, table.place, zone,
                     [&](const orbel::EventKind& kind) { return table.Shows(kind); }, false)
                     .days;
    std::ostringstream out;
    orbel::WriteTableText(out, table);
    benchmark::DoNotOptimize(out.str().size());
  }
}
BENCHMARK(BM_YearTable_Orbel)->Unit(benchmark::kMillisecond);

#ifdef ORBEL_HAVE_LIBNOVA

std::vector<double> CaseJulianDays() {
  std::vector<double> days;
  for (const DayQuery& q : BenchCases()) days.push_back(orbel_bench::LocalMidnightJulianDay(q));
  return days;
}

void BM_SunPair_Libnova(benchmark::State& state) {
  const std::vector<DayQuery>& cases = BenchCases();
  const std::vector<double> jd = CaseJulianDays();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        orbel_bench::LibnovaSunRiseSet(jd[i], cases[i].latitude, cases[i].longitude));
    if (++i == cases.size()) i = 0;
  }
}
BENCHMARK(BM_SunPair_Libnova);

void BM_MoonPair_Libnova(benchmark::State& state) {
  const std::vector<DayQuery>& cases = BenchCases();
  const std::vector<double> jd = CaseJulianDays();
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        orbel_bench::LibnovaMoonRiseSet(jd[i], cases[i].latitude, cases[i].longitude));
    if (++i == cases.size()) i = 0;
  }
}
BENCHMARK(BM_MoonPair_Libnova);

// The same year's sun and moon rise and set from libnova (no text).
void BM_YearTable_Libnova(benchmark::State& state) {
  for (auto _ : state) {
    for (const orbel::Date& date : orbel::DatesOfYear(kTableYear)) {
      const double jd =
          orbel_bench::kJulianDayOfDay0 +
          static_cast<double>(orbel_bench::DaysFromCivil(date.year, date.month, date.day)) +
          -kTableOffset / 86400.0;
      benchmark::DoNotOptimize(
          orbel_bench::LibnovaSunRiseSet(jd, kTablePlace.latitude, kTablePlace.longitude));
      benchmark::DoNotOptimize(
          orbel_bench::LibnovaMoonRiseSet(jd, kTablePlace.latitude, kTablePlace.longitude));
    }
  }
}
BENCHMARK(BM_YearTable_Libnova)->Unit(benchmark::kMillisecond);

#endif  // ORBEL_HAVE_LIBNOVA

}  // namespace
