#include "bench_cases.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "batch.h"
#include "civil_days.h"

namespace orbel_bench {

extern const char kBenchCasesText[];  // bench/cases.txt, embedded by CMake

const std::vector<EventQuery>& BenchCases() {
  static const std::vector<EventQuery> cases = [] {
    std::vector<EventQuery> parsed;
    std::istringstream in(kBenchCasesText);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
      ++number;
      const orbel::ParsedLine p = orbel::ParseBatchLine(line);
      if (p.kind == orbel::LineKind::kSkip) continue;
      if (p.kind == orbel::LineKind::kError) {
        std::fprintf(stderr, "bench/cases.txt line %d: %s\n", number, p.error.c_str());
        std::abort();
      }
      parsed.push_back(p.query);
    }
    return parsed;
  }();
  return cases;
}

double LocalMidnightJulianDay(const EventQuery& q) {
  return kJulianDayOfDay0 +
         static_cast<double>(DaysFromCivil(static_cast<int>(q.year), q.month, q.day)) +
         q.zone / 24.0;
}

}  // namespace orbel_bench
