#include "accuracy_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

namespace orbel_bench {

MethodEvent EventAt(Kind kind, double exactMinute, int zone) {
  const int64_t minute = std::llround(exactMinute);
  const double localMinute = exactMinute - zone * 60.0;
  const int64_t day = static_cast<int64_t>(std::floor(localMinute / 1440));
  return {kind, minute, day};
}

std::vector<MethodEvent> WithoutRepeats(std::vector<MethodEvent> events) {
  std::stable_sort(events.begin(), events.end(),
                   [](const MethodEvent& a, const MethodEvent& b) { return a.minute < b.minute; });
  std::vector<MethodEvent> kept;
  for (const MethodEvent& e : events) {
    bool repeat = false;
    for (auto it = kept.rbegin(); it != kept.rend() && e.minute - it->minute < 60; ++it) {
      if (it->kind == e.kind) repeat = true;
    }
    if (!repeat) kept.push_back(e);
  }
  return kept;
}

Comparison Compare(const Series& series, Kind kind, const std::vector<MethodEvent>& method,
                   int windowMinutes) {
  std::vector<int64_t> times;
  std::set<int64_t> methodDays;
  for (const MethodEvent& e : method) {
    if (e.kind != kind) continue;
    times.push_back(e.minute);
    methodDays.insert(e.day);
  }
  std::sort(times.begin(), times.end());

  Comparison c;
  std::set<int64_t> tableDays;
  for (const TableEvent& e : series.events) {
    if (e.kind != kind) continue;
    ++c.listed;
    tableDays.insert(e.day);
    const auto after = std::lower_bound(times.begin(), times.end(), e.minute);
    int64_t best = -1;
    bool found = false;
    if (after != times.end()) {
      best = *after - e.minute;
      found = true;
    }
    if (after != times.begin()) {
      const int64_t before = *(after - 1) - e.minute;
      if (!found || std::llabs(before) < std::llabs(best)) best = before;
      found = true;
    }
    if (found && std::llabs(best) <= windowMinutes) {
      c.differences.push_back(best);
    } else {
      c.unmatched.push_back(e);
    }
  }

  for (int64_t day = series.firstDay; day <= series.lastDay; ++day) {
    const bool inTable = tableDays.count(day) != 0;
    const bool inMethod = methodDays.count(day) != 0;
    ++c.days.days;
    if (!inTable) {
      ++c.days.tableNone;
      if (inMethod) {
        ++c.days.invented;
      } else {
        ++c.days.bothNone;
      }
    } else if (!inMethod) {
      ++c.days.missing;
    }
  }
  return c;
}

void Accumulate(Comparison& a, const Comparison& b) {
  a.listed += b.listed;
  a.differences.insert(a.differences.end(), b.differences.begin(), b.differences.end());
  a.unmatched.insert(a.unmatched.end(), b.unmatched.begin(), b.unmatched.end());
  a.days.days += b.days.days;
  a.days.tableNone += b.days.tableNone;
  a.days.bothNone += b.days.bothNone;
  a.days.invented += b.days.invented;
  a.days.missing += b.days.missing;
}

namespace {

// Median, 95th percentile and maximum of the absolute values by nearest rank:
// the ceil(p * n)-th value, counted from 1.
template <typename Result, typename T>
Result NearestRanks(const std::vector<T>& differences) {
  Result s;
  if (differences.empty()) return s;
  std::vector<T> sorted;
  for (const T d : differences) sorted.push_back(d < 0 ? -d : d);
  std::sort(sorted.begin(), sorted.end());
  const size_t n = sorted.size();
  const auto rank = [n](size_t percent) { return (percent * n + 99) / 100; };
  s.median = sorted[rank(50) - 1];
  s.p95 = sorted[rank(95) - 1];
  s.max = sorted.back();
  return s;
}

}  // namespace

Spread SpreadOf(const std::vector<int64_t>& differences) {
  return NearestRanks<Spread>(differences);
}

FineSpread SpreadOfValues(const std::vector<double>& differences) {
  return NearestRanks<FineSpread>(differences);
}

}  // namespace orbel_bench
