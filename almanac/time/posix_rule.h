// Zones given as POSIX TZ rules, such as "IST-5:30" or
// "CET-1CEST,M3.5.0,M10.5.0/3": a standard time, optionally a daylight time
// and the rule of the days and times the clocks change, every year alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "zone.h"

namespace orbel {

struct PosixRule {
  // A day of the year on which the clocks change, and the local time of the
  // change (seconds after that day's midnight, -167 to +167 hours).
  struct Change {
    enum Kind { kJulian, kZeroBased, kMonthWeekDay } kind;
    int day;    // Jn: 1-365, no 29 February; n: 0-365; Mm.w.d: the weekday 0-6 (Sunday 0)
    int month;  // Mm.w.d only: 1-12
    int week;   // Mm.w.d only: 1-5, 5 the last
    int time;
  };
  std::string standardName, daylightName;  // "CET", "CEST"; daylight empty for none
  int standardOffset, daylightOffset;      // seconds east of UTC
  Change start, end;                       // when daylight time starts and ends
};

// The rule of a POSIX TZ string, or nothing when the text is not one. A
// daylight time without a rule changes as the United States have since 2007
// (M3.2.0,M11.1.0), as the C library does.
std::optional<PosixRule> ParsePosixRule(std::string_view text);

// The clock of the rule at an instant.
ZoneState PosixRuleAt(const PosixRule& rule, Instant instant);

}  // namespace orbel
