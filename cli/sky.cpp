#include "sky.h"

#include <cstdio>
#include <vector>

#include "moon_events.h"
#include "moon_position.h"
#include "sun_events.h"

namespace orbel {

namespace {

const struct {
  const char* name;
  Horizon horizon;
  CrossingKind kind;
} kEvents[] = {
    {"sunrise", Horizon::kSun, CrossingKind::kRise},
    {"sunset", Horizon::kSun, CrossingKind::kSet},
    {"moonrise", Horizon::kMoon, CrossingKind::kRise},
    {"moonset", Horizon::kMoon, CrossingKind::kSet},
    {"civil-dawn", Horizon::kCivil, CrossingKind::kRise},
    {"civil-dusk", Horizon::kCivil, CrossingKind::kSet},
    {"nautical-dawn", Horizon::kNautical, CrossingKind::kRise},
    {"nautical-dusk", Horizon::kNautical, CrossingKind::kSet},
    {"astronomical-dawn", Horizon::kAstronomical, CrossingKind::kRise},
    {"astronomical-dusk", Horizon::kAstronomical, CrossingKind::kSet},
};

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// The crossings of the civil days before, of and after the date, in order,
// and the status of the date's scan of local noon.
std::vector<DayCrossing> CrossingsAround(Horizon horizon, const Place& place, const Zone& zone,
                                         const Date& date, int* todayStatus) {
  std::vector<DayCrossing> all;
  for (int64_t d = -1; d <= 1; ++d) {
    const CivilDay day = MakeCivilDay(DateOfDayNumber(DayNumber(date) + d), zone);
    const HorizonDay scanned = ScanHorizon(day, place, horizon);
    all.insert(all.end(), scanned.crossings.begin(), scanned.crossings.end());
    if (d == 0) *todayStatus = scanned.scans[static_cast<size_t>(day.noonScan)].rise.status;
  }
  return all;
}

}  // namespace

EventKind ParseEventKind(std::string_view name) {
  for (const auto& e : kEvents) {
    if (name == e.name) return EventKind{e.horizon, e.kind, e.name};
  }
  throw InputError("not an event; one of " + EventKindNames());
}

std::string EventKindNames() {
  std::string names;
  for (const auto& e : kEvents) names += (names.empty() ? "" : ", ") + std::string(e.name);
  return names;
}

Date LocalDate(const Zone& zone, int64_t instant) {
  const std::optional<ZoneState> state = zone.at(instant);
  if (!state) throw InputError("the time zone (" + zone.name + ") cannot tell its UTC offset now");
  return DateOfDayNumber(FloorDiv(instant + state->offset, 86400));
}

std::string FormatInstant(const Zone& zone, int64_t instant) {
  const ZoneState state = zone.at(instant).value_or(ZoneState{0, ""});
  const int64_t local = instant + state.offset;
  const int64_t seconds = local - FloorDiv(local, 86400) * 86400;
  char time[16];
  std::snprintf(time, sizeof time, " %02d:%02d:%02d", static_cast<int>(seconds / 3600),
                static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
  const std::string offset = "UTC" + FormatOffset(state.offset);
  return FormatDate(DateOfDayNumber(FloorDiv(local, 86400))) + time + " " +
         (zone.name.empty() ? offset : zone.name + " (" + offset + ")");
}

std::optional<Occurrence> NextOccurrence(const EventKind& event, const Place& place,
                                         const Zone& zone, int64_t notBefore, int days) {
  const int64_t first = DayNumber(LocalDate(zone, notBefore));
  for (int64_t d = first; d < first + days; ++d) {
    const Date date = DateOfDayNumber(d);
    const CivilDay day = MakeCivilDay(date, zone);
    for (const DayCrossing& c : ScanHorizon(day, place, event.horizon).crossings) {
      if (c.crossing.kind == event.kind && c.instant >= notBefore) {
        return Occurrence{c.instant, date, c.crossing.azimuth};
      }
    }
  }
  return std::nullopt;
}

bool IsUp(Horizon horizon, const Place& place, const Zone& zone, int64_t instant) {
  int status = 0;
  const std::vector<DayCrossing> near =
      CrossingsAround(horizon, place, zone, LocalDate(zone, instant), &status);
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

std::string TwilightBand(const Place& place, const Zone& zone, int64_t instant) {
  if (IsUp(Horizon::kSun, place, zone, instant)) return "day";
  for (const Horizon h : kTwilightHorizons) {
    if (IsUp(h, place, zone, instant)) {
      return std::string(h == Horizon::kCivil      ? "civil"
                         : h == Horizon::kNautical ? "nautical"
                                                   : "astronomical") +
             " twilight";
    }
  }
  return "night";
}

SkyPosition PositionAt(Horizon body, const Place& place, const Zone& zone, int64_t instant) {
  const Date date = LocalDate(zone, instant);
  const int offset = zone.at(instant).value_or(ZoneState{0, ""}).offset;
  const DayStart start = StartOfDay(EngineQuery(date, place, offset));
  const double hours = static_cast<double>(instant - (DayNumber(date) * 86400 - offset)) / 3600;
  double ra = 0, dec = 0, distance = 0;
  if (body == Horizon::kMoon) {
    MoonPosition(start.midnight + hours / 24, ra, dec, distance);
  } else {
    SunPosition(start.midnight + hours / 24, ra, dec);
  }
  return SkyPositionAt(start, hours, place.latitude, ra, dec);
}

}  // namespace orbel
