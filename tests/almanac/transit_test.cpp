// The transits: solar noon and midnight, the moon's upper and lower transit,
// on the meridian; the sun's at the extremes of its altitude.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "day.h"
#include "sky.h"

namespace {

using orbel::Body;

// On the meridian (azimuth 0 or 180); the sun at the highest (upper transit)
// or lowest altitude of the ten minutes either side (the moon's declination
// moves too fast for that: at 70 degrees its highest point can be half an
// hour off the meridian); the altitude given is the geocentric one at the
// minute shown, the moon's lowered by its parallax.
TEST(Transits, OnTheMeridianTheSunAtItsHighestAndLowest) {
  const struct {
    double latitude, longitude;
    orbel::Date date;
  } days[] = {{52.52, 13.405, {2026, 12, 21}},
              {-33.87, 151.2, {2026, 12, 21}},
              {69.65, 18.96, {2026, 5, 15}},
              {0, 0, {2026, 3, 20}}};
  const orbel::Zone zone = orbel::FixedZone(0);
  int transits = 0;
  for (const auto& d : days) {
    const orbel::Place place{d.latitude, d.longitude, "given"};
    const orbel::DayReport report = orbel::ComputeDay(d.date, place, zone);
    for (const char* name : {"noon", "solar-midnight", "moon-high", "moon-low"}) {
      const orbel::EventRef ref = *orbel::FindEvent(name);
      const Body body = ref.kind->circle.body;
      for (const orbel::Event& e : report.Of(*ref.kind).All(ref.direction)) {
        if (e.status != 0) continue;
        SCOPED_TRACE(std::string(name) + " at " + std::to_string(d.latitude) + ", " + e.text);
        ++transits;
        const double az = e.azimuth;
        EXPECT_LT(std::min({std::abs(az), std::abs(az - 180), std::abs(az - 360)}), 1e-6);
        const double at = orbel::PositionAt(body, place, zone, e.at).altitude;
        const double sign = ref.direction == CrossingKind::kRise ? 1 : -1;
        for (const int shift : {-600, 600}) {
          if (body == Body::kMoon) break;
          EXPECT_GT(sign * at, sign * orbel::PositionAt(body, place, zone, e.at + shift).altitude);
        }
        const double parallax = at - e.altitude;
        EXPECT_NEAR(parallax, body == Body::kMoon ? 0.95 * std::cos(at * M_PI / 180) : 0, 0.1);
      }
    }
  }
  EXPECT_GE(transits, 14);
}

}  // namespace
