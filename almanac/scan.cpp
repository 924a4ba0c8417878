#include "scan.h"

#include <algorithm>
#include <cmath>

#include "moon_events.h"
#include "moon_position.h"
#include "sun_events.h"

namespace orbel {

DayQuery EngineQuery(const Date& date, const Place& place, int offset) {
  // The event queries read every date before 1583 as Julian.
  const Date engineDate = EngineDate(date);
  return DayQuery{static_cast<uint32_t>(engineDate.day),
                  static_cast<uint32_t>(engineDate.month),
                  static_cast<uint32_t>(engineDate.year),
                  place.latitude,
                  place.longitude,
                  EngineZone(offset)};
}

void BodyPosition(Body body, const DayStart& start, double hours, double& ra, double& dec,
                  double& distance) {
  distance = 0;
  if (body == Body::kMoon) {
    MoonPosition(start.midnight + hours / 24, ra, dec, distance);
  } else {
    SunPosition(start.midnight + hours / 24, ra, dec);
  }
}

namespace {

const double kPi = 3.14159265358979323846;

// The angle from `target` to the body's hour angle, reduced to [-pi, pi).
double HourAngleFrom(Body body, const DayStart& start, double hours, double target) {
  double ra, dec, distance;
  BodyPosition(body, start, hours, ra, dec, distance);
  const double angle = std::fmod(HourAngleAt(start, hours, ra) - target, 2 * kPi);
  return std::fmod(angle + 3 * kPi, 2 * kPi) - kPi;
}

// The meridian transits of the local day of `query`: the hour angle reaches 0
// (upper) or pi (lower), found by bisection within each hour to well under a
// second. The altitude is the centre's, the moon's seen from the surface.
BodyDay Transits(Body body, const DayQuery& query, std::vector<double>& altitudes) {
  BodyDay day{};
  const DayStart start = StartOfDay(query);
  for (int hour = 0; hour < 24; ++hour) {
    for (const CrossingKind kind : {CrossingKind::kRise, CrossingKind::kSet}) {
      const double target = kind == CrossingKind::kRise ? 0 : kPi;
      double low = hour, high = hour + 1;
      const double before = HourAngleFrom(body, start, low, target);
      const double after = HourAngleFrom(body, start, high, target);
      // The hour angle grows by about a radian in four hours: a sign change
      // within an hour without a wrap is a transit.
      if (!(before < 0 && after >= 0 && after - before < kPi)) continue;
      for (int i = 0; i < 40; ++i) {
        const double middle = (low + high) / 2;
        (HourAngleFrom(body, start, middle, target) < 0 ? low : high) = middle;
      }
      double ra, dec, distance;
      BodyPosition(body, start, high, ra, dec, distance);
      const SkyPosition seen = SkyPositionAt(start, high, query.latitude, ra, dec);
      double altitude = seen.altitude;
      if (distance > 0) {
        const double a = altitude * kPi / 180;
        altitude = std::atan2(distance * std::sin(a) - 1, distance * std::cos(a)) * 180 / kPi;
      }
      const int minutes = static_cast<int>(std::floor(high * 60 + 0.5));
      day.crossings[day.crossingCount++] =
          Crossing{kind, static_cast<int8_t>(minutes / 60), static_cast<int8_t>(minutes % 60),
                   seen.azimuth, high};
      altitudes.push_back(altitude);
    }
  }
  return day;
}

}  // namespace

CircleDay ScanCircle(const CivilDay& day, const Place& place, const Circle& circle) {
  CircleDay scanned;
  for (const int offset : day.offsets) {
    const DayQuery query = EngineQuery(day.date, place, offset);
    std::vector<double> altitudes;
    if (circle.meridian) {
      scanned.scans.push_back(Transits(circle.body, query, altitudes));
    } else {
      scanned.scans.push_back(circle.body == Body::kSun ? SunDay(query, circle.zenithDistance)
                              : circle.topocentric
                                  ? MoonDayAtAltitude(query, 90 - circle.zenithDistance)
                                  : MoonDay(query));
    }
    const BodyDay& scan = scanned.scans.back();
    // Kept when inside the day and found by the scan of the offset in force.
    for (int c = 0; c < scan.crossingCount; ++c) {
      const Crossing& crossing = scan.crossings[c];
      const Instant t = day.InstantAt(std::llround(crossing.hours * 3600), offset);
      const double altitude = circle.meridian ? altitudes[static_cast<size_t>(c)] : NAN;
      if (day.Holds(t, offset)) scanned.crossings.push_back({t, crossing, offset, altitude});
    }
  }
  std::stable_sort(
      scanned.crossings.begin(), scanned.crossings.end(),
      [](const DayCrossing& a, const DayCrossing& b) { return a.instant < b.instant; });
  return scanned;
}

}  // namespace orbel
