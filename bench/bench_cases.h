// The sixteen date/place cases of bench/cases.txt, built into the benchmarks.
#pragma once

#include <vector>

#include "day_scan.h"

namespace orbel_bench {

// The cases in file order; aborts with a message if the built-in text has a bad
// line (the file is part of the sources, so that is a build mistake).
const std::vector<DayQuery>& BenchCases();

// Julian day (universal time) of local midnight at the start of a case's date.
double LocalMidnightJulianDay(const DayQuery& q);

}  // namespace orbel_bench
