// How close a method's rises and sets come to a published table: event
// matching, days without an event, and the spread of the differences.
#pragma once

#include <cstdint>
#include <vector>

#include "usno_tables.h"

namespace orbel_bench {

// A rise or set as a method gives it.
struct MethodEvent {
  Kind kind;
  int64_t minute;  // universal time, minutes from 2000-01-01 00:00, rounded
  int64_t day;     // the day it falls on in the series' zone, days from 2000-01-01
};

// An event at an unrounded time, rounded to the minute as the tables are and
// placed on its day in the given zone (hours added to the clock give UT).
MethodEvent EventAt(Kind kind, double exactMinute, int zone);

// Drops repeated answers: events of one kind less than an hour apart (a peer
// asked for consecutive days may report the same event twice) keep the first.
std::vector<MethodEvent> WithoutRepeats(std::vector<MethodEvent> events);

// Days of the table compared for one kind of event.
struct DayCounts {
  int days = 0;       // days the table covers
  int tableNone = 0;  // days on which the table lists no event
  int bothNone = 0;   // ... and the method gives none either
  int invented = 0;   // ... but the method gives one
  int missing = 0;    // days the table lists one and the method gives none
};

struct Comparison {
  int listed = 0;                     // events of the kind in the table
  std::vector<int64_t> differences;   // method minus table, minutes, per matched event
  std::vector<TableEvent> unmatched;  // table events with no method event in the window
  DayCounts days;
};

// Matches every table event of `kind` with the method's nearest event of that
// kind; it counts as matched when no more than windowMinutes away. Days are
// compared over the series' days.
Comparison Compare(const Series& series, Kind kind, const std::vector<MethodEvent>& method,
                   int windowMinutes);

// Adds b's counts, differences and unmatched events to a.
void Accumulate(Comparison& a, const Comparison& b);

// Median, 95th percentile and maximum of the absolute differences, by nearest
// rank (the smallest value with at least that share of the values at or
// below it). All zero for no values.
struct Spread {
  int64_t median = 0;
  int64_t p95 = 0;
  int64_t max = 0;
};
Spread SpreadOf(const std::vector<int64_t>& differences);

// The same for differences that are not whole numbers (minutes of a phase
// instant, percentage points of a lit fraction).
struct FineSpread {
  double median = 0;
  double p95 = 0;
  double max = 0;
};
FineSpread SpreadOfValues(const std::vector<double>& differences);

}  // namespace orbel_bench
