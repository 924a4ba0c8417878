// Time zones of the tool: the system's, one by name from the zone database
// (IANA names such as "Asia/Kolkata"), or a fixed offset from UTC. Offsets are
// seconds east of UTC throughout: +19800 for UTC+05:30, -3600 for UTC-01:00;
// the engine's zone is the same offset as hours with the opposite sign.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace orbel {

// The clock in force at one instant.
struct ZoneState {
  int offset;                // seconds east of UTC
  std::string abbreviation;  // "CEST"; may be empty
};

struct Zone {
  // "Asia/Kolkata", the system zone's name, or empty for a fixed offset.
  std::string name;
  // The clock in force at an instant (seconds since 1970-01-01 00:00 UTC), or
  // nothing when the zone cannot tell (a system zone outside what the C library
  // covers).
  std::function<std::optional<ZoneState>(int64_t utcSeconds)> at;
};

// A fixed offset; its name is empty.
Zone FixedZone(int offset);
// The system zone: TZ when set, else the system's setting, with its exact
// offset at every instant (half and quarter hours and daylight saving included).
Zone SystemZone();
// A zone of the zone database by its name. Throws InputError for a name the
// database does not have, or when there is no database (the Windows build).
Zone NamedZone(std::string_view name);
// Whether this build reads the zone database.
bool HaveZoneDatabase();
// The folder of the zone database: $TZDIR, else /usr/share/zoneinfo.
std::string ZoneDatabaseDir();

// The usual form, "+05:30" or "-03:30" (optional sign, hours 0-14, optional
// ":MM"), as an offset from -12:00 to +14:00. Throws InputError.
int ParseUtcOffset(std::string_view text);
// The engine's form: hours that, added to the local clock, give UTC, from -14
// to +12, whole ("-1"), decimal ("-5.5", "-5.75") or with minutes ("-5:30"),
// always a whole number of minutes. Returns the offset. Throws InputError.
int ParseEngineZone(std::string_view text);

// A shift of the clock, "+00:30", "-01:15" or "-2" (sign optional, hours up to
// 23, optional ":MM"), in seconds. Throws InputError.
int ParseClockShift(std::string_view text);

// "+05:30", "-01:00", "+00:00"; seconds only when there are any ("+00:09:21").
std::string FormatOffset(int offset);
// The engine's zone of an offset: -offset / 3600 in hours, exact for every
// whole minute that is a multiple of 1/4 hour and close for the others.
double EngineZone(int offset);

}  // namespace orbel
