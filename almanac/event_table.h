// The kinds of event the tool knows, one row each: what defines the kind, the
// events it gives, and every word the reports, options and messages use for
// them. The commands, the renderers and the completion read this table only,
// so a new kind is one more row.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "day_scan.h"
#include "scan.h"

namespace orbel {

// One event a kind gives.
struct EventEdge {
  std::string name;  // "sunrise", "civil-dawn": what wait takes
  std::string word;  // "Sunrise" on its own line, or "dawn" on the kind's line
  std::string json;  // where the event sits in a day's JSON: "/sunrise", "/twilight/civil/dawn"
  std::string csv;   // the prefix of its CSV columns: "sunrise", "civil_dawn"
};

// Texts for each way a day can lack an event, by the engine's StatusKind:
// no rise, no set, below all day, above all day.
struct StatusTexts {
  std::string texts[4];
};

struct EventKind {
  std::string key;  // "sun", "civil": what table --twilight takes
  // What defines it: the crossing of an altitude circle upwards (rise) and
  // downwards (set), or of the meridian (upper and lower transit).
  Circle circle;
  // Shown by table only when chosen with --twilight KEY, and by day only with
  // --twilight unless `inEveryDay`; the others always.
  bool onRequest;
  bool inEveryDay;
  // The kind's line in the day's text ("Civil"), or empty when each event has
  // a line of its own.
  std::string title;
  EventEdge rise, set;
  StatusTexts messages;  // in reports: "NO CIVIL DAWN", "SUN ABOVE -18° ALL DAY"
  StatusTexts words;     // in tables: "no dawn", "above all day"
  // For the sun: what now calls the time when the sun is above this circle
  // and below the higher ones ("day", "civil twilight"); empty for none.
  std::string band;
  // A photographers' hour is the time the sun spends between `circle` and
  // this higher circle: it starts (the rise event) when the sun enters the
  // band, rising through `circle` or setting through `upper`, and ends (the
  // set event) when it leaves.
  std::optional<Circle> upper = std::nullopt;
};

// Every kind, in the order the reports list them.
const std::vector<EventKind>& EventKinds();

// The kind that rises and sets for a body: the first of its kinds shown always.
const EventKind& RiseAndSetOf(Body body);

// One event of a kind.
struct EventRef {
  const EventKind* kind;
  CrossingKind direction;
  const EventEdge& Edge() const {
    return direction == CrossingKind::kRise ? kind->rise : kind->set;
  }
};
// The event of that name, or nothing.
std::optional<EventRef> FindEvent(std::string_view name);
// Every event's name, in table order: "sunrise", "sunset", ... .
std::vector<std::string> EventNames();
// The keys of the kinds shown on request: "civil", "nautical", "astronomical".
std::vector<std::string> OnRequestKeys();

// The crossings of a circle at an altitude of the user's (degrees, the
// centre's; the moon's seen from the surface): the events "sun-rising" and
// "sun-setting" (or "moon-..."), under the title "Sun at 10°".
EventKind AltitudeKind(Body body, double altitude);
// Whether a name is one of those events, and of which body.
std::optional<Body> AltitudeEventBody(std::string_view name);
// "SUN BELOW 6° ALL DAY", "MOON ABOVE -0.5° ALL DAY".
std::string AllDayMessage(Body body, double altitude, bool above);

// The StatusKind of an engine status code of either body.
StatusKind StatusKindOf(int code);

}  // namespace orbel
