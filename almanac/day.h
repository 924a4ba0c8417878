// What one civil day of a zone holds at a place: every kind of the event
// table with its events, and the moon's age, lit fraction and next phase.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calendar.h"
#include "event_table.h"
#include "phases.h"
#include "place.h"
#include "time/zone.h"

namespace orbel {

// One rise or set.
struct Event {
  // "HH:MM" as the engine gives it for the offset in force at the event, with
  // the zone's abbreviation when that clock time occurs twice in the day
  // ("02:04 CEST"); or the kind's message when the event does not happen.
  std::string text;
  int status;  // 0 when the event happens, else the engine's negative code
  int hour;    // meaningful only when status is 0
  int minute;
  double azimuth;         // degrees from north through east
  int offset;             // seconds east of UTC in force at the event
  Instant at;             // the instant of the minute shown (24:00 is the next midnight)
  double altitude = NAN;  // degrees, of a transit; NaN for a crossing of a circle
};

// The events of one kind: every rise and every set within the civil day, in
// time order, or for a direction without any the one event with its message.
struct KindDay {
  const EventKind* kind;
  std::vector<Event> rises, sets;  // never empty
  // For a photographers' hour, the messages of its circles the sun does not
  // cross that day ("SUN BELOW 6° ALL DAY"); else empty.
  std::string note;
  const std::vector<Event>& All(CrossingKind direction) const {
    return direction == CrossingKind::kRise ? rises : sets;
  }
  // The last of a direction (what a day shows in one place), or its message.
  const Event& Of(CrossingKind direction) const { return All(direction).back(); }
  // The day's intervals from a rise to the next set in time order (an hour's
  // from its start to its end); an interval under way at the day's start has
  // no rise, one under way at its end no set.
  struct Interval {
    const Event* rise;
    const Event* set;
  };
  std::vector<Interval> Intervals() const;
};

// A run of days on which the sun neither rises nor sets: the first and the
// last day of it.
struct PolarSpan {
  bool sunUp;  // midnight sun, else polar night
  Date since, until;
};
struct DayReport {
  Date date;
  Place place;
  std::string zoneName;        // empty for a fixed offset
  std::vector<int> offsets;    // the offsets in force during the day, in order
  int noonOffset;              // the offset in force at local noon
  std::vector<KindDay> kinds;  // the kinds computed, in the event table's order
  int32_t moonAge;             // whole days since new moon
  // The lit fraction of the moon's disc (0-1) at the local clock time
  // `litMinutes` after midnight, and the next principal phase after it
  // (when asked for: its search of the four phases costs more than the rises
  // and sets of the day).
  double illuminated;
  int litMinutes;
  Instant litInstant;
  std::optional<PhaseInstant> nextPhase;
  // How long the sun is above the horizon within the day, in seconds: the sum
  // of its intervals between the minutes shown (when the sun's rise and set
  // were computed).
  std::optional<int64_t> dayLength;
  // On a day without sunrise or sunset, the run of such days it belongs to
  // (when asked for: PolarSpanOf).
  std::optional<PolarSpan> polar;

  const KindDay& Of(const EventKind& kind) const;
  const Event& Of(const EventRef& event) const { return Of(*event.kind).Of(event.direction); }
  // The event of that name of the event table ("sunrise", "civil-dusk").
  const Event& Find(std::string_view name) const;
};

// Every event and the moon of one civil day of the zone. On a day when the
// clocks change (23 or 25 hours) each offset of the day is scanned, and each
// event is taken from the scan whose offset is in force at its instant, if
// that instant lies within the day, every one of a kind in time order. A
// kind with none in the day has the message of the scan of local noon. The lit
// fraction is taken at `litMinutes` after local midnight. Throws InputError
// when the zone skipped the date or cannot tell its offset on it.
// `wanted` picks the kinds of the event table to compute (all by default);
// `withNextPhase` false leaves out the next phase. An `extra` kind (a circle
// of the user's, AltitudeKind) comes after the table's.
using KindFilter = std::function<bool(const EventKind&)>;
DayReport ComputeDay(const Date& date, const Place& place, const Zone& zone,
                     int litMinutes = 12 * 60, const KindFilter& wanted = nullptr,
                     bool withNextPhase = true, const EventKind* extra = nullptr);
// The run a day with the sun up or down all day belongs to, searched over at
// most `days` days each way; nothing for a day with a sunrise or a sunset, or
// a run longer than that.
std::optional<PolarSpan> PolarSpanOf(const Date& date, const Place& place, const Zone& zone,
                                     int days = 200);

// Every day of the dates (of a year: DatesOfYear) that the zone did not
// skip, the lit fraction at local noon, and the dates it skipped.
struct YearDays {
  std::vector<DayReport> days;
  std::vector<Date> skipped;
};
YearDays ComputeDays(const std::vector<Date>& dates, const Place& place, const Zone& zone,
                     const KindFilter& wanted = nullptr, bool withNextPhase = true,
                     const EventKind* extra = nullptr);
YearDays ComputeYear(int year, const Place& place, const Zone& zone,
                     const KindFilter& wanted = nullptr, bool withNextPhase = true,
                     const EventKind* extra = nullptr);

}  // namespace orbel
