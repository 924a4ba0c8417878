#include "sky.h"

#include <algorithm>
#include <vector>

#include "kind_scan.h"
#include "moon_events.h"
#include "sun_events.h"
#include "time/civil_day.h"

namespace orbel {

namespace {

// The crossings of the civil days before, of and after the date, in order,
// and the status of the date's scan of local noon.
std::vector<DayCrossing> CrossingsAround(const Circle& circle, const Place& place, const Zone& zone,
                                         const Date& date, int* todayStatus) {
  std::vector<DayCrossing> all;
  for (int64_t d = -1; d <= 1; ++d) {
    const CivilDay day = MakeCivilDay(DateOfDayNumber(DayNumber(date) + d), zone);
    const CircleDay scanned = ScanCircle(day, place, circle);
    all.insert(all.end(), scanned.crossings.begin(), scanned.crossings.end());
    if (d == 0) *todayStatus = scanned.scans[static_cast<size_t>(day.noonScan)].rise.status;
  }
  return all;
}

}  // namespace

std::optional<Occurrence> NextOccurrence(const EventRef& event, const Place& place,
                                         const Zone& zone, Instant notBefore, int days) {
  const int64_t first = DayNumber(LocalDate(zone, notBefore));
  for (int64_t d = first; d < first + days; ++d) {
    const Date date = DateOfDayNumber(d);
    const CivilDay day = MakeCivilDay(date, zone);
    for (const DayCrossing& c : ScanKind(day, place, *event.kind).crossings) {
      if (c.crossing.kind == event.direction && c.instant >= notBefore) {
        return Occurrence{c.instant, date, c.crossing.azimuth};
      }
    }
  }
  return std::nullopt;
}

bool IsUp(const Circle& circle, const Place& place, const Zone& zone, Instant instant) {
  int status = 0;
  const std::vector<DayCrossing> near =
      CrossingsAround(circle, place, zone, LocalDate(zone, instant), &status);
  const DayCrossing* before = nullptr;
  const DayCrossing* after = nullptr;
  for (const DayCrossing& c : near) {
    if (c.instant <= instant) before = &c;
    if (c.instant > instant && after == nullptr) after = &c;
  }
  if (before != nullptr) return before->crossing.kind == CrossingKind::kRise;
  if (after != nullptr) return after->crossing.kind == CrossingKind::kSet;
  return status == kSunUpAllDay || status == kMoonUpAllDay;
}

std::string SunBand(const Place& place, const Zone& zone, Instant instant) {
  // The sun's circles with a band, from the highest down.
  std::vector<const EventKind*> circles;
  for (const EventKind& kind : EventKinds()) {
    if (kind.circle.body == Body::kSun && !kind.band.empty()) circles.push_back(&kind);
  }
  std::stable_sort(circles.begin(), circles.end(), [](const EventKind* a, const EventKind* b) {
    return a->circle.zenithDistance < b->circle.zenithDistance;
  });
  for (const EventKind* kind : circles) {
    if (IsUp(kind->circle, place, zone, instant)) return kind->band;
  }
  return "night";
}

SkyPosition PositionAt(Body body, const Place& place, const Zone& zone, Instant instant) {
  const LocalTime local = LocalTimeAt(zone, instant);
  const DayStart start = StartOfDay(EngineQuery(local.date, place, local.offset));
  const double hours =
      static_cast<double>(local.hour * 3600 + local.minute * 60 + local.second) / 3600;
  double ra = 0, dec = 0, distance = 0;
  BodyPosition(body, start, hours, ra, dec, distance);
  return SkyPositionAt(start, hours, place.latitude, ra, dec);
}

}  // namespace orbel
