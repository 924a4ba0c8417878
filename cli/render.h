// The renderers: what the commands print, as text for people, CSV and JSON.
// They format what the almanac computed and compute nothing themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "day.h"
#include "phases.h"
#include "sky.h"
#include "time/zone.h"

namespace orbel {

// The version of the JSON documents' format, in each of them as
// "format_version".
constexpr int kJsonFormatVersion = 1;

// One field of each of a direction's events, joined by `separator`: the
// clock times "00:56, 23:38" of a day with two moonrises.
template <typename Field>
std::string JoinEvents(const std::vector<Event>& events, const char* separator, Field field) {
  std::string text;
  for (const Event& event : events) text += (text.empty() ? "" : separator) + field(event);
  return text;
}

// A year's days, as table writes them.
struct YearTable {
  int year;
  Place place;
  std::string zoneName;               // empty for a fixed offset
  const EventKind* chosen = nullptr;  // the kind shown on request (--twilight), if any
  std::vector<DayReport> days;
  std::vector<Date> skipped;            // the dates the zone skipped
  const EventKind* altitude = nullptr;  // the circle of --altitude, if any
  // The first and last date of a table that is not a whole year.
  std::optional<std::pair<Date, Date>> range = std::nullopt;

  // Whether the table has columns for a kind.
  bool Shows(const EventKind& kind) const {
    return !kind.onRequest || &kind == chosen || &kind == altitude;
  }
  // The kinds with columns, in order.
  std::vector<const EventKind*> Columns() const {
    std::vector<const EventKind*> kinds;
    for (const EventKind& kind : EventKinds()) {
      if (Shows(kind)) kinds.push_back(&kind);
    }
    if (altitude != nullptr) kinds.push_back(altitude);
    return kinds;
  }
};

// Where the sun and the moon stand at one instant.
struct BodyNow {
  SkyPosition position;
  bool up;
  const EventEdge* next;  // the next rise or set, or null when none comes
  Instant nextInstant;
};
struct SkyNow {
  Instant instant;
  Place place;
  BodyNow sun, moon;
  std::string band;  // "day", "civil twilight", ... "night"
};

// One row of a series of positions (positions).
struct PositionRow {
  Instant instant;
  SkyPosition sun, moon;
};
// A series written as it is computed: `row` for each row, then `end`.
struct SeriesWriter {
  std::function<void(const PositionRow&)> row;
  std::function<void()> end;
};

// The moment wait returns at: the event's instant plus the shift.
struct WaitMoment {
  const EventEdge* event;
  Instant eventInstant;
  int shift;    // seconds, negative before the event
  Instant now;  // the wall clock when the moment was found
};

// Text for people. UseTwelveHourClock(true) writes its clock times as
// "7:38 AM" instead of "07:38".
void UseTwelveHourClock(bool twelveHour);
std::string DayText(const DayReport& report, const Zone& zone, bool onRequestKinds);
// "14 h 05 min"; "midnight sun since 2026-05-19, until 2026-07-24".
std::string DayLengthText(int64_t seconds);
std::string PolarText(const PolarSpan& span);
void WriteTableText(std::ostream& out, const YearTable& table);
void WritePhasesText(std::ostream& out, int year, const Zone& zone,
                     const std::vector<PhaseInstant>& phases);
std::string SkyNowText(const SkyNow& now, const Zone& zone);
// "2026-12-08 15:23:01 UTC+00:00, sunset at 15:53:01 - 00:30, in 3 h 05 min"
// (or "5 min 41 s ago" for a moment --grace let pass).
std::string WaitLine(const WaitMoment& moment, const Zone& zone);
// "2026-12-07 16:32:05 Europe/Berlin (UTC+01:00)" or, without a zone name,
// "2026-12-07 16:32:05 UTC+01:00".
std::string InstantText(const Zone& zone, Instant instant);

// CSV, with a header row.
void WriteTableCsv(std::ostream& out, const YearTable& table);
void WritePhasesCsv(std::ostream& out, const Zone& zone, const std::vector<PhaseInstant>& phases);
SeriesWriter PositionsCsv(std::ostream& out, const Zone& zone);

// JSON, and how every document is written: indented by two, with bytes that
// are not UTF-8 (in a zone or city name from outside) replaced by U+FFFD.
void WriteJson(std::ostream& out, const nlohmann::ordered_json& json);
nlohmann::ordered_json DayJson(const DayReport& report, const Zone& zone);
nlohmann::ordered_json TableJson(const YearTable& table, const Zone& zone);
nlohmann::ordered_json PhasesJson(int year, const Zone& zone,
                                  const std::vector<PhaseInstant>& phases);
nlohmann::ordered_json SkyNowJson(const SkyNow& now, const Zone& zone);
// One document whose "positions" array is written row by row.
SeriesWriter PositionsJson(std::ostream& out, const Place& place, const Zone& zone);

}  // namespace orbel
