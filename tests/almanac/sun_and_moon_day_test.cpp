// What a day holds besides rises and sets: the transits (solar noon and
// midnight, the moon's upper and lower transit), the photographers' hours,
// crossings of an altitude of the user's, the length of the day and the runs
// of polar days and nights.
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

// Every start and end of golden and blue hour, and every crossing of an
// altitude of the user's, finds the body at that altitude at the minute shown
// (the moon's seen from the surface: the geocentric altitude less the
// parallax), moving the right way: into the hour at its start, out at its
// end, up when rising. Polar days tell the circle the sun never crosses.
TEST(Altitudes, HoursAndCirclesOfTheUsersAreCrossedWhereTheySay) {
  const orbel::Place berlin{52.52, 13.405, "given"}, tromso{69.65, 18.96, "given"};
  const orbel::EventKind moonAt5 = orbel::AltitudeKind(Body::kMoon, 5);
  const orbel::EventKind sunAt10 = orbel::AltitudeKind(Body::kSun, 10);
  const orbel::EventKind sunBelow = orbel::AltitudeKind(Body::kSun, -3.5);
  const struct {
    orbel::Place place;
    orbel::Date date;
    const orbel::EventKind* extra;
    const char* golden;  // the hour's note, or the number of its events
    const char* blue;
  } days[] = {
      {berlin, {2026, 12, 8}, &sunAt10, "4", "4"},
      {berlin, {2026, 6, 21}, &moonAt5, "4", "4"},
      {tromso,
       {2026, 5, 15},
       &moonAt5,
       "SUN ABOVE -4\u00b0 ALL DAY",  // two moonrises
       "SUN ABOVE -4\u00b0 ALL DAY"},
      {tromso,
       {2026, 5, 30},
       &sunBelow,
       "SUN ABOVE -4\u00b0 ALL DAY",
       "SUN ABOVE -4\u00b0 ALL DAY"},
      {tromso, {2026, 12, 8}, &sunBelow, "SUN BELOW 6\u00b0 ALL DAY", "4"},
      {{78, 15, "given"},
       {2026, 12, 21},
       &sunAt10,
       "SUN BELOW -4\u00b0 ALL DAY",
       "SUN BELOW -6\u00b0 ALL DAY"},
  };
  const orbel::Zone zone = orbel::FixedZone(3600);
  int crossings = 0;
  for (const auto& d : days) {
    SCOPED_TRACE(orbel::FormatDate(d.date) + " at " + std::to_string(d.place.latitude));
    const orbel::DayReport report =
        orbel::ComputeDay(d.date, d.place, zone, 12 * 60, nullptr, false, d.extra);
    for (const orbel::KindDay& k : report.kinds) {
      const bool hour = k.kind->upper.has_value();
      if (!hour && k.kind != d.extra) continue;
      if (hour) {
        const size_t events = k.rises.size() + k.sets.size();
        EXPECT_EQ(k.note.empty() ? std::to_string(events) : k.note,
                  k.kind->key == "golden-hour" ? d.golden : d.blue);
      }
      const Body body = k.kind->circle.body;
      const double low = 90 - k.kind->circle.zenithDistance;
      const double high = hour ? 90 - k.kind->upper->zenithDistance : low;
      for (const bool start : {true, false}) {
        for (const orbel::Event& e : start ? k.rises : k.sets) {
          if (e.status != 0) continue;
          ++crossings;
          const auto altitude = [&](orbel::Instant t) {
            const double a = orbel::PositionAt(body, d.place, zone, t).altitude;
            return body == Body::kMoon ? a - 0.95 * std::cos(a * M_PI / 180) : a;
          };
          const double at = altitude(e.at), before = altitude(e.at - 600);
          SCOPED_TRACE(k.kind->key + " " + e.text);
          EXPECT_NEAR(at, std::abs(at - low) < std::abs(at - high) ? low : high, 0.2);
          // Inside the band (or above the circle) after a start, outside before.
          const bool inside = before > low - 0.05 && before < (hour ? high : 90) + 0.05;
          EXPECT_EQ(inside, !start);
        }
      }
    }
  }
  EXPECT_GE(crossings, 30);
}

}  // namespace
