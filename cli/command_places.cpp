// orbel-cli places: the cities and towns a name gives, or the towns near a
// point, with their coordinates, zone and population.
#include <cmath>
#include <iostream>
#include <memory>

#include <fmt/format.h>

#include "cities.h"
#include "command.h"
#include "environment.h"
#include "format.h"
#include "options.h"
#include "printable.h"
#include "towns.h"
#include "values.h"

namespace orbel {

namespace {

struct PlacesOptions {
  std::string query;
  std::optional<std::pair<double, double>> around;
  int count = 10;
};

std::string Row(const std::string& label, double latitude, double longitude,
                const std::string& zone, const std::string& population) {
  return fmt::format("{} {} {}  {}  {}\n", PadRight(Printable(label, 60), 60),
                     PadRight(FormatLatitude(latitude), 11),
                     PadRight(FormatLongitude(longitude), 12), PadRight(Printable(zone, 30), 22),
                     population);
}

// "52.52,13.405": a latitude and a longitude in the forms --lat and --lon take.
std::pair<double, double> ParsePoint(const std::string& text) {
  const size_t comma = text.find(',');
  if (comma == std::string::npos) throw InputError("expected LAT,LON: 52.52,13.405");
  return {ParseLatitude(text.substr(0, comma)), ParseLongitude(text.substr(comma + 1))};
}

int RunPlaces(const PlacesOptions& options) {
  if (options.around) {
    for (const Town* t : NearestTowns(options.around->first, options.around->second,
                                      static_cast<size_t>(options.count))) {
      std::cout << Row(TownLabel(*t), t->latitude, t->longitude, t->zone,
                       std::to_string(t->population));
    }
    return 0;
  }
  if (options.query.empty()) throw InputError("give a name, or --near LAT,LON");
  bool any = false;
  const std::string wanted = FoldName(options.query);
  for (const City& city : DatabaseCities()) {
    if (options.query.find(',') == std::string::npos && FoldName(city.name) == wanted) {
      std::cout << Row(city.name + " (principal city of its zone)", city.latitude, city.longitude,
                       city.zone, "-");
      any = true;
    }
  }
  for (const Town* t : FindTowns(options.query)) {
    std::cout << Row(TownLabel(*t), t->latitude, t->longitude, t->zone,
                     std::to_string(t->population));
    any = true;
  }
  if (any) return 0;
  FindCity(DatabaseCities(), options.query);  // throws, with close names
  return 0;
}

}  // namespace

Command AddPlacesCommand(CLI::App& tool) {
  auto options = std::make_shared<PlacesOptions>();
  CLI::App* places = tool.add_subcommand(
      "places", "The cities and towns --place takes for a name, or the towns near a point");
  places->add_option("NAME", options->query,
                     "The name, with a qualifier after a comma: portland, \"Portland, Maine\"");
  AddValueOption(*places, "--near", options->around, ParsePoint,
                 "The towns nearest to this point instead: 52.52,13.405")
      ->type_name("LAT,LON");
  AddValueOption(
      *places, "--count", options->count,
      [](const std::string& text) {
        return ParseWholeNumber(text, 1, 1000, "a whole number from 1 to 1000");
      },
      "How many towns --near lists (default 10)")
      ->type_name("N");
  places->footer(
      "One line each: the name with its state and country, latitude, longitude, zone and "
      "population, the most populous first; the first is what --place takes. The towns are "
      "GeoNames' (CC BY 4.0). Examples:\n"
      "  orbel-cli places portland\n  orbel-cli places --near 69.65,18.96");
  return {places, [options] { return RunPlaces(*options); }};
}

}  // namespace orbel
