// The sky over the days: the next moment of an event, whether a body is above
// a circle, and where it stands at an instant. Every answer comes from the
// same civil-day scans as the reports, so it never contradicts a printed time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "event_table.h"
#include "place.h"
#include "time/zone.h"

namespace orbel {

// One occurrence of an event.
struct Occurrence {
  Instant instant;  // the crossing itself, unrounded to the minute
  Date date;        // the civil day it belongs to
  double azimuth;
};

// The first occurrence at or after `notBefore`, from the civil day of
// `notBefore` on, over at most `days` days.
std::optional<Occurrence> NextOccurrence(const EventRef& event, const Place& place,
                                         const Zone& zone, Instant notBefore, int days = 367);

// Whether the body is above the circle at `instant`: after a rise and before
// the next set, or, with no crossing near, on a day whose status says up all
// day.
bool IsUp(const Circle& circle, const Place& place, const Zone& zone, Instant instant);

// What the time is called by the sun's circles at an instant: the band of the
// highest circle of the event table the sun is above ("day", "civil
// twilight", ...), or "night".
std::string SunBand(const Place& place, const Zone& zone, Instant instant);

// Where the sun or the moon stands at an instant (degrees; geocentric, the
// centre, without refraction).
SkyPosition PositionAt(Body body, const Place& place, const Zone& zone, Instant instant);

}  // namespace orbel
