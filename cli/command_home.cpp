// orbel-cli home: shows, sets or clears the home place, the place every
// command takes when no option names one.
#include <iostream>
#include <memory>

#include "command.h"
#include "format.h"
#include "home_place.h"
#include "place_options.h"
#include "printable.h"
#include "value_hints.h"

namespace orbel {

namespace {

struct HomeOptions {
  std::string action;  // "", "set" or "clear"
  PlaceOptions place;
};

std::string Describe(const HomePlace& home) {
  std::string text = home.name.empty() ? "" : Printable(home.name, 80) + ", ";
  text += FormatLatitude(home.latitude) + " " + FormatLongitude(home.longitude) + ", ";
  if (!home.zone.empty()) {
    text += Printable(home.zone, 40);
  } else if (home.offset) {
    text += "UTC" + FormatOffset(*home.offset);
  } else {
    text += "the system zone";
  }
  return text;
}

int Show(const HomePlace& home) {
  std::cout << "Home place: " << Describe(home) << "\n(saved in " << Printable(HomeFilePath(), 200)
            << ")\n";
  return 0;
}

int SetHome(const PlaceOptions& options) {
  if (!options.city && !(options.latitude && options.longitude)) {
    throw InputError("home set needs --place, or --lat and --lon");
  }
  const PlaceAndZone chosen = ResolvePlace(options);  // checks every value
  HomePlace home;
  home.latitude = chosen.place.latitude;
  home.longitude = chosen.place.longitude;
  if (options.city) home.name = chosen.place.source;
  // The zone named, or the city's; coordinates alone keep the system zone
  // of wherever the tool runs.
  if (options.tz || (options.city && !options.offset)) home.zone = chosen.zone.name;
  home.offset = options.offset;
  WriteHomePlace(home);
  return Show(home);
}

int RunHome(const HomeOptions& options) {
  const PlaceOptions& place = options.place;
  if (options.action != "set" &&
      (place.city || place.latitude || place.longitude || place.tz || place.offset)) {
    throw InputError("only home set takes place and zone options");
  }
  if (options.action == "set") return SetHome(place);
  if (options.action == "clear") {
    std::cout << (ClearHomePlace() ? "The home place is cleared.\n" : "No home place was set.\n");
    return 0;
  }
  const std::optional<HomePlace> home = ReadHomePlace();
  if (!home) {
    std::cout << "No home place is set; orbel-cli home set --place CITY sets one.\n";
    return 0;
  }
  return Show(*home);
}

}  // namespace

Command AddHomeCommand(CLI::App& tool) {
  auto options = std::make_shared<HomeOptions>();
  CLI::App* home = tool.add_subcommand(
      "home", "Show, set or clear the home place, taken when no option names a place");
  Hint(home->add_option("ACTION", options->action, "set or clear; none shows the home place")
           ->check(CLI::IsMember({"set", "clear"}).description("")),
       Words({"set", "clear"}));
  AddPlaceOptions(*home, options->place);
  home->footer(
      "The place: --lat and --lon, else --place, then the home place, then the place the orbel "
      "window saved. The home place keeps its zone: the one named, else the city's; set by "
      "coordinates alone, the system zone. Examples:\n"
      "  orbel-cli home set --place berlin\n"
      "  orbel-cli home set --lat 69.65 --lon 18.96 --tz Europe/Oslo\n"
      "  orbel-cli home\n  orbel-cli home clear");
  return {home, [options] { return RunHome(*options); }};
}

}  // namespace orbel
