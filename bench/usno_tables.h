// Readers of the published rise/set tables that the accuracy tool compares
// with (USNO tables and lists derived from them).
//
// Every table becomes one or more Series: a body at a place, the days the table
// covers and the rises and sets it lists. Times are whole minutes of universal
// time counted from 2000-01-01 00:00; days are counted from 2000-01-01 in the
// table's own zone, so a day of a series is a day of the published table.
#pragma once

#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace orbel_bench {

enum class Body { kSun, kMoon };
enum class Kind { kRise, kSet };

struct TableEvent {
  Kind kind;
  int64_t minute;  // universal time, minutes from 2000-01-01 00:00
  int64_t day;     // the table's day (in the series' zone), days from 2000-01-01
};

struct Series {
  std::string name;  // table file and place, for reports
  Body body;
  double latitude;   // degrees, north positive
  double longitude;  // degrees, east positive
  int zone;          // hours that, added to the table's clock, give universal time
  int64_t firstDay;  // the days the table covers, in its zone
  int64_t lastDay;
  std::vector<TableEvent> events;  // in table order
};

// A principal phase of the Moon as a published list gives it.
struct PublishedPhase {
  int quarter;  // 0 new moon, 1 first quarter, 2 full moon, 3 last quarter
  double day;   // universal time, days from 2000-01-01 12:00 (J2000.0)
};

// A malformed table; what() names the file and line.
class TableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Lines "Body lon lat YYYY-MM-DDTHH:MMZ r|s" in universal time (the list of
// cosinekitty/astronomy). One series per body and place, zone 0, covering the
// whole calendar years its events fall in. Days without an event are not
// listed, so every other day of those years counts as a day without one.
std::vector<Series> ReadUtcEventList(std::istream& in, const std::string& name);

// A USNO one-year table "Rise and Set for the Sun/Moon for YYYY": a day column
// and a rise and a set column per month, "hhmm" in the zone of its header
// ("Eastern Standard Time", "Universal Time", ...); blank for no event.
Series ReadUsnoYearTable(std::istream& in, const std::string& name);

// A USNO table of rise, transit and set for a run of dates: lines
// "YYYY Mon DD (Ddd)  hh:mm az  hh:mm alt  hh:mm az ..." under a header with the
// place and "Time Zone: Nh MMm west|east of Greenwich". A blank, "*****" (up all
// day) or "-----" (down all day) field means no event that day.
Series ReadUsnoRiseTransitSet(std::istream& in, const std::string& name);

// Reads every table of a known format in a folder, in name order. Files of
// other formats are listed in skipped.
std::vector<Series> ReadTableFolder(const std::string& folder, std::vector<std::string>* skipped);

// Lines "Q YYYY-MM-DDTHH:MM:SS[.fff]Z" in universal time, Q the quarter (the
// phase list of cosinekitty/astronomy); blank lines are skipped.
std::vector<PublishedPhase> ReadPhaseList(std::istream& in, const std::string& name);

}  // namespace orbel_bench
