// The system clock and time zone, reduced to what the engine takes.
#pragma once

#include <optional>

#include "place.h"

namespace orbel {

// The local calendar date now.
Date Today();

// The engine zone of the system time zone on a date: -(UTC offset in seconds) /
// 3600, truncated toward zero, with the offset taken at local noon of that date
// so that daylight saving time in force on the day is included. UTC+1 gives -1,
// UTC+2 (summer) -2, UTC+5:30 gives -5. Empty when the C library cannot
// represent local noon of the date.
std::optional<int> SystemZone(const Date& date);

}  // namespace orbel
