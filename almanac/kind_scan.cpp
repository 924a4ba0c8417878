#include "kind_scan.h"

#include <algorithm>

#include "sun_events.h"

namespace orbel {

KindScan ScanKind(const CivilDay& day, const Place& place, const EventKind& kind) {
  const CircleDay low = ScanCircle(day, place, kind.circle);
  const BodyDay& noon = low.scans[static_cast<size_t>(day.noonScan)];
  if (!kind.upper) return {low.crossings, {noon.rise.status, noon.set.status}, "", 0};
  // The sun enters the band rising through the lower circle or setting
  // through the upper one, and leaves it the other way.
  const CircleDay high = ScanCircle(day, place, *kind.upper);
  KindScan scan{low.crossings, {0, 0}, "", 0};
  for (DayCrossing crossing : high.crossings) {
    crossing.crossing.kind =
        crossing.crossing.kind == CrossingKind::kRise ? CrossingKind::kSet : CrossingKind::kRise;
    scan.crossings.push_back(crossing);
  }
  std::stable_sort(
      scan.crossings.begin(), scan.crossings.end(),
      [](const DayCrossing& a, const DayCrossing& b) { return a.instant < b.instant; });
  // Of a sun above both circles all day only the upper one is told, of a
  // sun below both only the lower one.
  const auto allDay = [&day](const CircleDay& scanned) {
    const int status = scanned.scans[static_cast<size_t>(day.noonScan)].rise.status;
    return scanned.crossings.empty() && (status == kSunDownAllDay || status == kSunUpAllDay)
               ? status
               : 0;
  };
  const int lowStatus = allDay(low), highStatus = allDay(high);
  for (const auto& [circle, status] :
       {std::pair{&kind.circle, highStatus == kSunUpAllDay ? 0 : lowStatus},
        {&*kind.upper, lowStatus == kSunDownAllDay ? 0 : highStatus}}) {
    if (status == 0) continue;
    if (scan.note.empty()) scan.noteStatus = status;
    scan.note += (scan.note.empty() ? "" : ", ") +
                 AllDayMessage(Body::kSun, 90 - circle->zenithDistance, status == kSunUpAllDay);
  }
  return scan;
}

}  // namespace orbel
