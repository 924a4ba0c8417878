// The engine's scans of a civil day: one per offset in force that day, each
// crossing kept from the scan whose offset is in force at its instant.
#pragma once

#include <vector>

#include "day_scan.h"
#include "place.h"
#include "time/civil_day.h"

namespace orbel {

enum class Body { kSun, kMoon };

// An altitude circle a body crosses. The moon rises and sets on the engine's
// own horizon, taken from its distance; the sun's circles are given by their
// zenith distance in degrees (90.833 for its rise and set: refraction and its
// radius; 96, 102, 108 for the three twilights). With `meridian` the circle
// is the meridian instead: the upper transit counts as its rise, the lower
// transit as its set. A moon's circle with `topocentric` is its zenith
// distance as seen from the surface (parallax included, no refraction).
struct Circle {
  Body body;
  double zenithDistance;  // degrees; not used for the meridian, nor the moon's own horizon
  bool meridian = false;
  bool topocentric = false;
};

// The engine's query for a date, a place and an offset in force: the date the
// event queries read (Julian for 1582 after the reform) and the offset as
// the engine's zone.
DayQuery EngineQuery(const Date& date, const Place& place, int offset);

// The body's right ascension and declination (radians) `hours` after the
// local midnight of `start`, from the engine's series, and its distance in
// earth radii (0 for the sun).
void BodyPosition(Body body, const DayStart& start, double hours, double& ra, double& dec,
                  double& distance);

// A crossing of the day with its instant (unrounded, to the second) and the
// offset of the scan that found it, which is in force at that instant.
struct DayCrossing {
  Instant instant;
  Crossing crossing;
  int offset;
  double altitude;  // degrees, of a transit (centre, no refraction); NaN for a circle
};

struct CircleDay {
  std::vector<BodyDay> scans;          // one per offset of the day
  std::vector<DayCrossing> crossings;  // in the day, in time order
};

CircleDay ScanCircle(const CivilDay& day, const Place& place, const Circle& circle);

}  // namespace orbel
