// What a day holds besides rises and sets: the transits (solar noon and
// midnight, the moon's upper and lower transit), the length of the day and
// the runs of polar days and nights.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "day.h"
#include "sky.h"
#include "time/zone.h"

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

// The day length sums the sun's intervals above the horizon between the
// instants shown: across a clock change (23 hours, 06:42 CEST to 19:40 CEST),
// with two sunsets in one day,
// and 24 h or 0 h on polar days; the run of such days is found around them
// (10:57 to 12:05 the day before it).
TEST(DayLength, SumsTheIntervalsAndPolarDaysTellTheirRun) {
  if (!orbel::HaveZoneDatabase()) GTEST_SKIP() << "this build has no zone database";
  const orbel::Place berlin{52.52, 13.405, "given"}, tromso{69.65, 18.96, "given"};
  const orbel::Zone cet = orbel::NamedZone("Europe/Berlin");
  const struct {
    orbel::Place place;
    orbel::Date date;
    int64_t length;
    const char* polar;  // since-until, or "" for none
  } days[] = {{berlin, {2024, 3, 31}, (12 * 60 + 58) * 60, ""},
              {berlin, {2026, 12, 21}, (7 * 60 + 39) * 60, ""},
              {tromso, {2026, 6, 21}, 24 * 3600, "2026-05-18 2026-07-25"},
              {tromso, {2026, 12, 21}, 0, "2026-11-27 2027-01-14"},
              // Up from midnight to 00:13, then from 01:29 to 23:59.
              {tromso, {2026, 7, 27}, (13 + 22 * 60 + 30) * 60, ""},
              {tromso, {2026, 11, 26}, (12 * 60 + 5 - 10 * 60 - 57) * 60, ""}};
  for (const auto& d : days) {
    SCOPED_TRACE(orbel::FormatDate(d.date));
    const orbel::DayReport report = orbel::ComputeDay(d.date, d.place, cet);
    EXPECT_EQ(report.dayLength, d.length);
    const std::optional<orbel::PolarSpan> span = orbel::PolarSpanOf(d.date, d.place, cet);
    EXPECT_EQ(span ? orbel::FormatDate(span->since) + " " + orbel::FormatDate(span->until) : "",
              d.polar);
    EXPECT_TRUE(!span || span->sunUp == (d.length > 0));
  }
}

}  // namespace
