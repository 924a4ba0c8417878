// One civil day of a zone as the tool scans it: its bounds in universal time
// (23 or 25 hours when the clocks change), the offsets in force, and the
// crossings of a body's horizon that lie in it, each from the scan whose
// offset is in force at its instant.
#pragma once

#include <cstdint>
#include <vector>

#include "day_scan.h"
#include "place.h"
#include "report.h"
#include "zone.h"

namespace orbel {

// What crosses which circle: the sun's and the moon's rise and set, and the
// sun's centre 6°, 12° and 18° below the horizon (dawn and dusk).
enum class Horizon { kSun, kMoon, kCivil, kNautical, kAstronomical };
constexpr Horizon kTwilightHorizons[3] = {Horizon::kCivil, Horizon::kNautical,
                                          Horizon::kAstronomical};

struct CivilDay {
  const Zone* zone;
  Date date;
  int64_t midnight;  // the date's 00:00 as if it were UTC, seconds since 1970
  int64_t start, end;
  std::vector<int> offsets;  // in force during the day, in order
  int noonScan;              // index of the offset in force at local noon

  // The clock in force at an instant. Throws InputError when the zone cannot
  // tell.
  ZoneState At(int64_t t) const;
  // Whether the clock time `minutes` after midnight, read with `offset`, is an
  // instant of this day at which that offset is in force.
  bool Shows(int64_t minutes, int offset) const;
};

CivilDay MakeCivilDay(const Date& date, const Zone& zone);

// The engine's query for a date, a place and an offset in force: the date the
// event queries read (Julian for 1582 after the reform) and the offset as
// the engine's zone.
DayQuery EngineQuery(const Date& date, const Place& place, int offset);

// A crossing of the day with its instant (seconds since 1970, UTC) and the
// offset of the scan that found it, which is in force at that instant.
struct DayCrossing {
  int64_t instant;
  Crossing crossing;
  int offset;
};

struct HorizonDay {
  std::vector<BodyDay> scans;          // one per offset of the day
  std::vector<DayCrossing> crossings;  // in the day, in time order
};

HorizonDay ScanHorizon(const CivilDay& day, const Place& place, Horizon horizon);

// The message for a status code of the horizon's scans ("NO SUNRISE",
// "NO CIVIL DAWN", "SUN ABOVE -6° ALL DAY").
const char* HorizonMessage(Horizon horizon, int code);

// The last crossing of a kind in the day as a report's event, or the message
// of the scan of local noon.
Event PickEvent(const CivilDay& day, const HorizonDay& scanned, Horizon horizon, CrossingKind kind);

}  // namespace orbel
