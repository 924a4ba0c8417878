// Time zones and the local clock: the one place where instants meet zone
// offsets. An instant is seconds since 1970-01-01 00:00 UTC; an offset is
// seconds east of UTC (+19800 for UTC+05:30); the engine's zone is the same
// offset in hours with the opposite sign.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "calendar.h"

namespace orbel {

using Instant = int64_t;

// The clock in force at one instant.
struct ZoneState {
  int offset;                // seconds east of UTC
  std::string abbreviation;  // "CEST"; may be empty
};

struct Zone {
  // "Asia/Kolkata", the system zone's name, or empty for a fixed offset.
  std::string name;
  // The clock in force at an instant, or nothing when the zone cannot tell
  // (a system zone outside what the system covers).
  std::function<std::optional<ZoneState>(Instant)> at;
};

// A fixed offset; its name is empty.
Zone FixedZone(int offset);
// UTC, named "UTC".
Zone UtcZone();
// The system's own zone, named `name`: on Windows its rules through Win32,
// elsewhere /etc/localtime; UTC (named "UTC") when there is none.
Zone SystemZone(std::string name);
// A zone of the zone database by its name ("Asia/Kolkata"), or a POSIX TZ
// rule ("IST-5:30", "CET-1CEST,M3.5.0,M10.5.0/3"), named by its text. Throws
// InputError for anything else, and for a name in a build without the zone
// database (Windows).
Zone NamedZone(std::string_view name);
// The zone a value of TZ gives: what NamedZone takes, after an optional ':';
// also a zone file by its absolute path; an empty value is UTC.
Zone ZoneOfTz(std::string_view tz);
// Whether this build reads the zone database.
bool HaveZoneDatabase();
// The folder of the zone database: $TZDIR, else /usr/share/zoneinfo.
std::string ZoneDatabaseDir();

// "+05:30", "-01:00", "+00:00"; seconds only when there are any ("+00:53:28").
std::string FormatOffset(int offset);
// The engine's zone of an offset: -offset / 3600 in hours, exact for every
// whole minute that is a multiple of 1/4 hour and close for the others.
double EngineZone(int offset);

// A reading of the local clock.
struct LocalTime {
  Date date;  // in the calendar in use
  int hour, minute, second;
  int offset;  // seconds east of UTC in force
  std::string abbreviation;
};

// The zone's clock at an instant. Throws InputError when the zone cannot tell.
LocalTime LocalTimeAt(const Zone& zone, Instant instant);
// The civil date of an instant in the zone. Throws like LocalTimeAt.
Date LocalDate(const Zone& zone, Instant instant);
// The instant rounded to the nearest whole minute (half a minute up).
Instant RoundToMinute(Instant instant);
// Whether the local clock time of `instant` also shows another instant (the
// hour repeated when the clocks go back).
bool ClockRepeats(const Zone& zone, Instant instant);

}  // namespace orbel
