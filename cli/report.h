// One day's sun and moon events for a place, and their human, CSV and JSON forms.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "place.h"

namespace orbel {

struct Place {
  double latitude;   // degrees, north positive
  double longitude;  // degrees, east positive
};

// One rise or set as the engine reports it.
struct Event {
  std::string text;  // "HH:MM" or the engine's message
  int status;        // 0 when the event happens, else the engine's negative code
  int hour;          // meaningful only when status is 0
  int minute;
  double azimuth;  // degrees from north through east
};

struct DayReport {
  Date date;
  Place place;
  int zone;  // engine zone used for the day
  Event sunrise;
  Event sunset;
  Event moonrise;
  Event moonset;
  int32_t moonAge;  // whole days since new moon
};

// Asks the engine for the four events and the moon's age of one date.
DayReport ComputeDay(const Date& date, const Place& place, int zone);

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
  std::optional<int> fixedZone;  // empty: the system zone of each date
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
