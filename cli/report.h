// One day's sun and moon events for a place, and their human, CSV and JSON forms.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "place.h"
#include "zone.h"

namespace orbel {

struct Place {
  double latitude;   // degrees, north positive
  double longitude;  // degrees, east positive
  // Where it came from: "given", "default place", "saved by orbel", or the
  // name of a city.
  std::string source;
};

// One rise or set.
struct Event {
  // "HH:MM" as the engine gives it for the offset in force at the event, with
  // the zone's abbreviation when that clock time occurs twice in the day
  // ("02:04 CEST"); or the engine's message when the event does not happen.
  std::string text;
  int status;  // 0 when the event happens, else the engine's negative code
  int hour;    // meaningful only when status is 0
  int minute;
  double azimuth;  // degrees from north through east
  int offset;      // seconds east of UTC in force at the event
};

struct DayReport {
  Date date;
  Place place;
  std::string zoneName;      // empty for a fixed offset
  std::vector<int> offsets;  // the offsets in force during the day, in order
  int noonOffset;            // the offset in force at local noon
  Event sunrise;
  Event sunset;
  Event moonrise;
  Event moonset;
  bool hasTwilight;  // whether `twilight` was computed
  struct Twilight {
    Event dawn, dusk;
  } twilight[3];    // civil, nautical, astronomical
  int32_t moonAge;  // whole days since new moon
  // The lit fraction of the moon's disc (0-1) at the local clock time
  // `litMinutes` after midnight, and the next principal phase after it.
  double illuminated;
  int litMinutes;
  std::string nextPhase;      // "full moon"
  std::string nextPhaseTime;  // "2026-01-03 11:03 UTC+01:00"
  std::string nextPhaseIso;   // "2026-01-03T11:03+01:00"
};

// The names of the twilight kinds, in the order of DayReport::twilight.
extern const char* const kTwilightNames[3];

// The four events and the moon's age of one civil day of the zone. On a day
// when the clocks change (23 or 25 hours) each offset of the day is scanned,
// and each event is taken from the scan whose offset is in force at its
// instant, if that instant lies within the day; of several of a kind the last.
// A kind with none in the day has the message of the scan of local noon.
// With `twilight`, also the civil, nautical and astronomical dawn and dusk.
// Throws InputError when the zone cannot tell its offset on the date.
// The lit fraction is taken at `litMinutes` after local midnight (noon unless
// given).
DayReport ComputeDay(const Date& date, const Place& place, const Zone& zone, bool twilight = false,
                     int litMinutes = 12 * 60);

// "Asia/Kolkata, UTC+05:30"; "UTC+05:30" for a fixed offset; both offsets on
// a day when the clocks change.
std::string ZoneTitle(const DayReport& report);
// The English name of the moon's phase beside the German one the dialog shows.
const char* EnglishPhaseName(int32_t age);

// The aligned multi-line report of one day.
std::string FormatDayText(const DayReport& report);
// The same facts as one JSON object.
nlohmann::ordered_json DayToJson(const DayReport& report);

// Every date of a year in order (355 dates in 1582, which lost 5-14 October).
std::vector<Date> DatesOfYear(int year);

// A year's reports and how they were made, for the table writers.
struct Table {
  int year;
  Place place;
  std::string zoneName;   // empty for a fixed offset
  int twilightKind = -1;  // the twilight columns shown: index of kTwilightNames, or -1
  std::vector<DayReport> days;
};

// One line per day with time and azimuth of each event, under a title and a
// column header.
void WriteTableText(std::ostream& out, const Table& table);
// A header row and one row per day; per event its text, hour, minute, azimuth
// and status (hour, minute and azimuth empty when the event does not happen,
// status 0 when it does).
void WriteTableCsv(std::ostream& out, const Table& table);
// An object with the year, the place, the zone and a "days" array of the objects
// DayToJson gives.
nlohmann::ordered_json TableToJson(const Table& table);

}  // namespace orbel
