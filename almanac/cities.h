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
  // For a town: "Portland, Oregon, United States of America"; empty for a
  // principal city, which its name says.
  std::string label = "";
  // When the name was ambiguous: which one this is and how to see the others.
  std::string note = "";
};

// The cities of a zone1970.tab, in file order; lines that are comments or
// not of its form are skipped.
std::vector<City> ReadCities(std::istream& table);

// The place a name gives: the city of that name, ignoring case, accents and
// punctuation, taking '_' for ' ' ("kolkata", "St_Johns", "São Paulo"), or of
// that zone name ("Asia/Kolkata"); else the most populous of the towns it
// names (FindTowns: "tromso", "washington", "Portland, Maine"). A principal
// city wins over the towns of its name, so its coordinates and zone are the
// zone database's. Throws InputError for an unknown name, listing up to five
// close names.
City FindCity(const std::vector<City>& cities, std::string_view name);

}  // namespace orbel
