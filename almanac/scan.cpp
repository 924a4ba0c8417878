#include "scan.h"

#include <algorithm>
#include <cmath>

#include "moon_events.h"
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

CircleDay ScanCircle(const CivilDay& day, const Place& place, const Circle& circle) {
  CircleDay scanned;
  for (const int offset : day.offsets) {
    const DayQuery query = EngineQuery(day.date, place, offset);
    scanned.scans.push_back(circle.body == Body::kMoon ? MoonDay(query)
                                                       : SunDay(query, circle.zenithDistance));
    const BodyDay& scan = scanned.scans.back();
    // Kept when inside the day and found by the scan of the offset in force.
    for (int c = 0; c < scan.crossingCount; ++c) {
      const Crossing& crossing = scan.crossings[c];
      const Instant t = day.InstantAt(std::llround(crossing.hours * 3600), offset);
      if (day.Holds(t, offset)) scanned.crossings.push_back({t, crossing, offset});
    }
  }
  std::stable_sort(
      scanned.crossings.begin(), scanned.crossings.end(),
      [](const DayCrossing& a, const DayCrossing& b) { return a.instant < b.instant; });
  return scanned;
}

}  // namespace orbel
