// The sky over the days: the next moment of an event, whether the sun or the
// moon is up, and where they stand at an instant. Every answer comes from the
// same civil-day scans as the reports, so it never contradicts a printed time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "civil_day.h"
#include "report.h"
#include "zone.h"

namespace orbel {

// An event the tool can wait for: "sunrise", "moonset", "civil-dawn",
// "astronomical-dusk" and so on.
struct EventKind {
  Horizon horizon;
  CrossingKind kind;
  std::string name;
};
// Throws InputError for a name that is none of them.
EventKind ParseEventKind(std::string_view name);
// The names, for help texts: "sunrise, sunset, moonrise, moonset, civil-dawn, ...".
std::string EventKindNames();

// One occurrence of an event.
struct Occurrence {
  int64_t instant;  // seconds since 1970, UTC (the crossing itself, unrounded to the minute)
  Date date;        // the civil day it belongs to
  double azimuth;
};

// The first occurrence at or after `notBefore` (seconds since 1970, UTC),
// from the civil day of `notBefore` on, over at most `days` days.
std::optional<Occurrence> NextOccurrence(const EventKind& event, const Place& place,
                                         const Zone& zone, int64_t notBefore, int days = 367);

// Whether the body is above the circle of `horizon` at `instant`: after a
// rise and before the next set, or, with no crossing near, on a day whose
// status says up all day.
bool IsUp(Horizon horizon, const Place& place, const Zone& zone, int64_t instant);

// The twilight band at an instant: "day", "civil twilight", "nautical
// twilight", "astronomical twilight" or "night".
std::string TwilightBand(const Place& place, const Zone& zone, int64_t instant);

// Where the sun or the moon stands at an instant (degrees; geocentric, the
// centre, without refraction).
SkyPosition PositionAt(Horizon body, const Place& place, const Zone& zone, int64_t instant);

// The civil date of an instant in the zone.
Date LocalDate(const Zone& zone, int64_t instant);
// "2026-12-07 16:32:05 Europe/Berlin (UTC+01:00)" or, without a zone name,
// "2026-12-07 16:32:05 UTC+01:00".
std::string FormatInstant(const Zone& zone, int64_t instant);

}  // namespace orbel
