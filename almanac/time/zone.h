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
// The system zone: TZ when set, else the system's setting, with its exact
// offset at every instant (half and quarter hours and daylight saving included).
// `name` is how reports name it.
Zone SystemZone(std::string name);
// A zone of the zone database by its name. Throws InputError for a name the
// database does not have, or when there is no database (the Windows build).
Zone NamedZone(std::string_view name);
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

}  // namespace orbel
