// Places by city name: the principal cities of the zone database's zones, as
// its file zone1970.tab lists them (the city is the last part of the zone's
// name, "America/St_Johns" is St Johns), with their coordinates and zone.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace orbel {

struct City {
  std::string name;  // "St Johns"
  std::string zone;  // "America/St_Johns"
  double latitude;   // degrees, north positive
  double longitude;  // degrees, east positive
};

// The cities of a zone1970.tab, in file order; lines that are comments or
// not of its form are skipped.
std::vector<City> ReadCities(std::istream& table);

// The city of that name, ignoring case and taking '_' for ' ' ("kolkata",
// "St_Johns"), or of that zone name ("Asia/Kolkata"). Throws InputError for
// an unknown name, listing up to five close names.
City FindCity(const std::vector<City>& cities, std::string_view name);

}  // namespace orbel
