// What the tool takes from the system it runs on: the system zone, the zone
// database's list of cities and the wall clock.
#pragma once

#include <vector>

#include "cities.h"
#include "time/zone.h"

namespace orbel {

// Descriptors 0, 1 and 2 that the tool was started without are filled with
// /dev/null opened the wrong way round, so that no file the tool opens takes
// their place and reading or writing them fails as it should (Bad file
// descriptor) instead of reading nothing or writing nowhere. Call first.
void GuardStandardStreams();

// The system zone: TZ when set, else the system's setting, named as the
// system names it.
Zone SystemZoneOfEnvironment();

// The cities of the zone database (ZoneDatabaseDir()/zone1970.tab). Throws
// InputError when the file cannot be read.
std::vector<City> DatabaseCities();

// Seconds since 1970 on the wall clock, with its fraction.
double WallClock();
// The wall clock's instant, the current second.
Instant Now();
// The date in the zone now: what "today" is for every command.
Date Today(const Zone& zone);
// Sleeps until the wall clock reaches `moment`, in steps of at most five
// seconds, so that a clock set forward or a suspension that passes the moment
// ends the wait within a step, and a clock set back lengthens it.
void SleepUntil(Instant moment);

}  // namespace orbel
