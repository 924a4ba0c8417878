// The place a day is computed for, and where it came from.
#pragma once

#include <optional>
#include <string>

#include "cities.h"

namespace orbel {

struct Place {
  double latitude;   // degrees, north positive
  double longitude;  // degrees, east positive
  // Where it came from: "given", "default place", "saved by orbel", "home
  // place" (or "NAME (home place)"), or the name of a city; ", latitude given" or ", longitude
  // given" after it when one coordinate replaced that one of the place found otherwise.
  std::string source;
  // When the name of --place was ambiguous: which place this is and how to
  // see the others (City::note).
  std::string note = "";
};

// The default place: 48° 44' 36'' north, 9° 18' 27'' east.
constexpr double kDefaultLatitude = 48 + 44.0 / 60 + 36.0 / 3600;
constexpr double kDefaultLongitude = 9 + 18.0 / 60 + 27.0 / 3600;

// The place from the first source that has it: both coordinates, the city,
// the place the window saved, the default place. A coordinate given alone
// replaces that one of the place found otherwise.
Place ChoosePlace(std::optional<double> latitude, std::optional<double> longitude,
                  const std::optional<City>& city, const std::optional<Place>& saved);

}  // namespace orbel
