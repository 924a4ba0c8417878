#include "civil_day.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "moon_events.h"
#include "sun_events.h"

namespace orbel {

namespace {

// The first instant of the civil day whose 00:00 (as if UTC) is `midnight`:
// local midnight under the offset then in force, the earlier one when
// midnight comes twice, or the clock change itself when it skips midnight.
int64_t StartOfCivilDay(const CivilDay& day, int64_t midnight) {
  const int before = day.At(midnight - 86400).offset, after = day.At(midnight + 86400).offset;
  std::optional<int64_t> start;
  for (const int offset : {before, day.At(midnight).offset, after}) {
    const int64_t t = midnight - offset;
    if (day.At(t).offset == offset && (!start || t < *start)) start = t;
  }
  if (start) return *start;
  // Skipped: the change lies between midnight under the old and the new offset.
  int64_t low = midnight - after, high = midnight - before;  // offset changes in (low, high]
  while (high - low > 1) {
    const int64_t middle = low + (high - low) / 2;
    (day.At(middle).offset == after ? high : low) = middle;
  }
  return high;
}

// Zenith distance of the sun's circles, in degrees.
double ZenithDistance(Horizon horizon) {
  switch (horizon) {
    case Horizon::kCivil:
      return 96;
    case Horizon::kNautical:
      return 102;
    case Horizon::kAstronomical:
      return 108;
    default:
      return kSunZenithDistance;
  }
}

template <Horizon kHorizon>
const char* MessageOf(int code) {
  return HorizonMessage(kHorizon, code);
}

// The message function FormatEventText takes, for a horizon.
const char* (*MessageFunction(Horizon horizon))(int) {
  switch (horizon) {
    case Horizon::kSun:
      return SunStatusMessage;
    case Horizon::kMoon:
      return MoonStatusMessage;
    case Horizon::kCivil:
      return MessageOf<Horizon::kCivil>;
    case Horizon::kNautical:
      return MessageOf<Horizon::kNautical>;
    default:
      return MessageOf<Horizon::kAstronomical>;
  }
}

// The report's event of one slot, with the text the query functions give.
Event EventOf(const EventSlot& slot, Horizon horizon, int offset) {
  Event event{};
  TextBuffer text;
  FormatEventText(slot, MessageFunction(horizon), text);
  event.text = text;
  event.status = slot.status;
  event.offset = offset;
  if (slot.status == 0) {
    event.hour = slot.hour;
    event.minute = slot.minute;
    event.azimuth = slot.azimuth;
  }
  return event;
}

}  // namespace

ZoneState CivilDay::At(int64_t t) const {
  const std::optional<ZoneState> state = zone->at(t);
  if (!state) {
    throw InputError("the time zone (" + zone->name + ") cannot tell its UTC offset on " +
                     FormatDate(date) + "; give it with --utc-offset or --zone");
  }
  return *state;
}

bool CivilDay::Shows(int64_t minutes, int offset) const {
  const int64_t t = midnight + minutes * 60 - offset;
  return t >= start && t < end && At(t).offset == offset;
}

CivilDay MakeCivilDay(const Date& date, const Zone& zone) {
  CivilDay day{&zone, date, DayNumber(date) * 86400, 0, 0, {}, 0};
  day.start = StartOfCivilDay(day, day.midnight);
  day.end = StartOfCivilDay(day, day.midnight + 86400);
  // The offsets of the day, sampled hourly and at its last second.
  for (int64_t t = day.start;; t += 3600) {
    const int offset = day.At(t < day.end ? t : day.end - 1).offset;
    if (day.offsets.empty() || day.offsets.back() != offset) day.offsets.push_back(offset);
    if (t >= day.end) break;
  }
  // Local noon: the offset that shows 12:00 within the day.
  for (size_t i = 0; i < day.offsets.size(); ++i) {
    if (day.Shows(12 * 60, day.offsets[i])) day.noonScan = static_cast<int>(i);
  }
  return day;
}

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

HorizonDay ScanHorizon(const CivilDay& day, const Place& place, Horizon horizon) {
  HorizonDay scanned;
  for (const int offset : day.offsets) {
    const DayQuery query = EngineQuery(day.date, place, offset);
    scanned.scans.push_back(horizon == Horizon::kMoon ? MoonDay(query)
                                                      : SunDay(query, ZenithDistance(horizon)));
    const BodyDay& scan = scanned.scans.back();
    // Kept when inside the day and found by the scan of the offset in force.
    for (int c = 0; c < scan.crossingCount; ++c) {
      const Crossing& crossing = scan.crossings[c];
      const int64_t t = day.midnight + std::llround(crossing.hours * 3600) - offset;
      if (t >= day.start && t < day.end && day.At(t).offset == offset) {
        scanned.crossings.push_back({t, crossing, offset});
      }
    }
  }
  std::stable_sort(
      scanned.crossings.begin(), scanned.crossings.end(),
      [](const DayCrossing& a, const DayCrossing& b) { return a.instant < b.instant; });
  return scanned;
}

const char* HorizonMessage(Horizon horizon, int code) {
  if (horizon == Horizon::kSun) return SunStatusMessage(code);
  if (horizon == Horizon::kMoon) return MoonStatusMessage(code);
  static const char* const kMessages[3][4] = {
      {"NO CIVIL DAWN", "NO CIVIL DUSK", "SUN BELOW -6\xC2\xB0 ALL DAY",
       "SUN ABOVE -6\xC2\xB0 ALL DAY"},
      {"NO NAUTICAL DAWN", "NO NAUTICAL DUSK", "SUN BELOW -12\xC2\xB0 ALL DAY",
       "SUN ABOVE -12\xC2\xB0 ALL DAY"},
      {"NO ASTRONOMICAL DAWN", "NO ASTRONOMICAL DUSK", "SUN BELOW -18\xC2\xB0 ALL DAY",
       "SUN ABOVE -18\xC2\xB0 ALL DAY"}};
  const int kind = horizon == Horizon::kCivil ? 0 : horizon == Horizon::kNautical ? 1 : 2;
  const int codes[4] = {kNoSunrise, kNoSunset, kSunDownAllDay, kSunUpAllDay};
  for (int i = 0; i < 4; ++i) {
    if (codes[i] == code) return kMessages[kind][i];
  }
  return "";
}

Event PickEvent(const CivilDay& day, const HorizonDay& scanned, Horizon horizon,
                CrossingKind kind) {
  for (auto it = scanned.crossings.rbegin(); it != scanned.crossings.rend(); ++it) {
    if (it->crossing.kind != kind) continue;
    // The instant rounded to the minute, on the clock in force then: a
    // crossing in the last half minute before the clocks go forward reads as
    // the first minute after the change, not as a time that is skipped.
    int64_t minutes = it->crossing.hour * 60 + it->crossing.minute;
    const ZoneState shown = day.At(day.midnight + minutes * 60 - it->offset);
    minutes += (shown.offset - it->offset) / 60;
    Event event{"",
                0,
                static_cast<int>(minutes / 60),
                static_cast<int>(minutes % 60),
                it->crossing.azimuth,
                shown.offset};
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", event.hour, event.minute);
    event.text = text;
    // A clock time that also shows another offset's instant of the day.
    for (const int other : day.offsets) {
      if (other != shown.offset && day.Shows(minutes, other)) {
        event.text += " " + (shown.abbreviation.empty() ? "UTC" + FormatOffset(shown.offset)
                                                        : shown.abbreviation);
        break;
      }
    }
    return event;
  }
  const BodyDay& noon = scanned.scans[static_cast<size_t>(day.noonScan)];
  EventSlot none = kind == CrossingKind::kRise ? noon.rise : noon.set;
  if (none.status == 0) {
    // The scan of noon has its event outside the day or under another offset.
    const bool moon = horizon == Horizon::kMoon;
    none = EventSlot{};
    const int noRise = moon ? static_cast<int>(kNoMoonrise) : static_cast<int>(kNoSunrise);
    const int noSet = moon ? static_cast<int>(kNoMoonset) : static_cast<int>(kNoSunset);
    none.status = static_cast<EventStatus>(kind == CrossingKind::kRise ? noRise : noSet);
  }
  return EventOf(none, horizon, day.offsets[static_cast<size_t>(day.noonScan)]);
}

}  // namespace orbel
