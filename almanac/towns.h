// Towns by name: the GeoNames list of towns (their coordinates, country,
// state, zone and population), beside the zone database's principal cities.
// The table is generated on the build host from Debian's libgeonames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orbel {

struct Town {
  std::string name, state, country, countryCode, zone;
  double latitude, longitude;  // degrees, north and east positive
  uint32_t population;
  std::string folded;  // FoldName(name)
};

// The generated table: rows of tab-separated name, state, country, country
// code, zone, latitude, longitude and population, many rows to a string, the
// last string null; and the lower-case ASCII each letter beyond ASCII folds to.
struct LetterFold {
  uint32_t code;
  const char* ascii;
};
extern const char* const kTownRows[];
extern const LetterFold kLetterFolds[];
extern const size_t kLetterFoldCount;

// Every town of the table, in its order, read once.
const std::vector<Town>& Towns();

// A name as names are compared: lower-case ASCII words, one space apart, the
// letters folded by transliteration ("Tromsø" tromso, "Straße" strasse),
// '.' and '\'' dropped and other punctuation a space ("St. John's" st johns).
std::string FoldName(std::string_view name);

// The towns a query names, most populous first: those of that name and
// those whose name adds words to it ("washington" finds "Washington D.C.").
// After a comma, a qualifier picks among them: the country's name or code,
// or words of the state ("Portland, US", "Portland, Maine").
std::vector<const Town*> FindTowns(std::string_view query);

// The `count` towns nearest to a point, nearest first.
std::vector<const Town*> NearestTowns(double latitude, double longitude, size_t count);

// "Portland, Oregon, United States of America".
std::string TownLabel(const Town& town);

}  // namespace orbel
