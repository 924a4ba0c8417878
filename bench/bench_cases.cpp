#include "bench_cases.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "batch.h"
#include "civil_days.h"

namespace orbel_bench {

extern const char kBenchCasesText[];  // bench/cases.txt, embedded by CMake

const std::vector<DayQuery>& BenchCases() {
  static const std::vector<DayQuery> cases = [] {
    std::vector<DayQuery> parsed;
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

double LocalMidnightJulianDay(const DayQuery& q) {
  return kJulianDayOfDay0 +
         static_cast<double>(DaysFromCivil(static_cast<int>(q.year), static_cast<int>(q.month),
                                           static_cast<int>(q.day))) +
         q.zone / 24.0;
}

}  // namespace orbel_bench
