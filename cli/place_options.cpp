#include "place_options.h"

#include <fmt/format.h>

#include "cities.h"
#include "format.h"
#include "time/civil_day.h"
#include "environment.h"
#include "home_place.h"
#include "render.h"
#include "saved_place.h"
#include "value_hints.h"
#include "values.h"

namespace orbel {

void AddPlaceOptions(CLI::App& command, PlaceOptions& options) {
  AddValueOption(command, "--lat,--latitude", options.latitude, ParseLatitude,
                 "Latitude, north positive: 48.7433, -33.8667, 48:44:36N, 33:52:0S")
      ->type_name("DEG");
  AddValueOption(command, "--lon,--longitude", options.longitude, ParseLongitude,
                 "Longitude, east positive: 9.3075, -122.4194, 9:18:27E, 122:25:10W")
      ->type_name("DEG");
  AddZoneOptions(command, options);
}

void AddZoneOptions(CLI::App& command, PlaceOptions& options) {
  if (command.get_option_no_throw("--lat") == nullptr) {
    // Hidden (no group), so that help, completion and manual page leave them out.
    const std::string why = command.get_name() +
                            " is the same everywhere and takes no --lat or --lon; --place, --tz, "
                            "--utc-offset and --zone choose its zone";
    for (const char* names : {"--lat,--latitude", "--lon,--longitude"}) {
      const auto refuse = [why](const std::string&) -> void { throw InputError(why); };
      command.add_option_function<std::string>(names, refuse, "")->group("");
    }
  }
  const auto text = [](const std::string& value) { return value; };
  AddValueOption(command, "--place", options.city, text,
                 "A principal city of the zone database, such as kolkata, berlin or "
                 "\"St Johns\"; its time zone too, unless a zone option is given")
      ->type_name("CITY");
  CLI::Option* tz = Hint(AddValueOption(command, "--tz", options.tz, text,
                                        "Time zone by name: Asia/Kolkata, Europe/Berlin")
                             ->type_name("NAME"),
                         Zones());
  CLI::Option* utcOffset =
      AddValueOption(command, "--utc-offset", options.offset, ParseUtcOffset,
                     "Fixed offset from UTC: +05:30 for India, -03:30 for Newfoundland")
          ->type_name("+HH:MM");
  CLI::Option* zone =
      AddValueOption(command, "--zone", options.offset, ParseEngineZone,
                     "Fixed offset the engine's way, hours that added to the local clock give "
                     "UTC: -1 for UTC+01:00, 5 for UTC-05:00, -5.5 or -5:30 for UTC+05:30")
          ->type_name("HOURS");
  tz->excludes(utcOffset)->excludes(zone);
  utcOffset->excludes(zone);
}

void AddYearOption(CLI::App& command, YearOptions& options) {
  AddValueOption(command, "--year", options.year, ParseYear, "Year, 1 to 9999 (default: this year)")
      ->type_name("YYYY");
}

void AddFormatOptions(CLI::App& command, YearOptions& options, const std::string& csvHelp) {
  CLI::Option* json = command.add_flag("--json", options.json, "Write JSON");
  json->excludes(command.add_flag("--csv", options.csv, csvHelp));
}

void AddAltitudeOption(CLI::App& command, std::optional<BodyAltitude>& altitude) {
  AddValueOption(command, "--altitude", altitude, ParseAltitude,
                 "Also when the sun's centre crosses this altitude, or the moon's with moon:DEG "
                 "(seen from the surface; no refraction): 10, -3.5, moon:5")
      ->type_name("DEG|moon:DEG");
}

void AddClockOption(CLI::App& command) {
  Hint(command
           .add_option_function<std::string>(
               "--clock", [](const std::string& clock) { UseTwelveHourClock(clock == "12h"); },
               "The clock of the text: 24h (the default) or 12h, 7:38 AM")
           ->check(CLI::IsMember({"24h", "12h"}).description(""))
           ->type_name("24h|12h"),
       Words({"24h", "12h"}));
}

PlaceAndZone ResolvePlace(const PlaceOptions& options) {
  std::optional<City> city;
  if (options.city) {
    city = ParseOption("--place", *options.city,
                       [](const std::string& name) { return FindCity(DatabaseCities(), name); });
  }
  // The home place comes before the window's; either only when the options
  // leave a coordinate to find.
  std::optional<HomePlace> home;
  std::optional<Place> saved;
  if (!city && !(options.latitude && options.longitude)) {
    home = ReadHomePlace();
    if (home) {
      saved = Place{home->latitude, home->longitude,
                    home->name.empty() ? "home place" : home->name + " (home place)"};
    } else {
      saved = SavedPlace();
    }
  }
  PlaceAndZone result{ChoosePlace(options.latitude, options.longitude, city, saved), FixedZone(0)};
  if (options.tz) {
    result.zone = ParseOption("--tz", *options.tz, NamedZone);
  } else if (options.offset) {
    result.zone = FixedZone(*options.offset);
  } else if (city) {
    result.zone = NamedZone(city->zone);
  } else if (home && !home->zone.empty()) {
    result.zone =
        ParseOption("zone of the home place " + Quoted(HomeFilePath()), home->zone, NamedZone);
  } else if (home && home->offset) {
    result.zone = FixedZone(*home->offset);
  } else {
    result.zone = SystemZoneOfEnvironment();
  }
  return result;
}

Instant InstantOfMoment(const std::string& option, const ClockMoment& moment, const Zone& zone) {
  const CivilDay day = MakeCivilDay(moment.date, zone);
  if (moment.offset) return day.InstantAt(moment.seconds, *moment.offset);
  if (const std::optional<Instant> first = day.FirstInstantShowing(moment.seconds)) return *first;
  const std::string name = zone.name.empty() ? "this zone" : Printable(zone.name, 40);
  throw InputError(fmt::format("{} {} {:02}:{:02} does not exist in {}: the clocks skipped it",
                               option, FormatDate(moment.date), moment.seconds / 3600,
                               moment.seconds / 60 % 60, name));
}

}  // namespace orbel
