// The place and zone options every command but batch and phase takes, and
// how they choose the place and the zone.
#pragma once

#include <optional>
#include <string>

#include "options.h"
#include "values.h"

#include "place.h"
#include "time/zone.h"

namespace orbel {

struct PlaceOptions {
  std::optional<double> latitude, longitude;
  std::optional<std::string> city;  // --place, looked up when the place is chosen
  std::optional<std::string> tz;
  std::optional<int> offset;  // --utc-offset or --zone, seconds east of UTC
};

// Adds --lat, --lon, --place, --tz, --utc-offset and --zone to a command.
void AddPlaceOptions(CLI::App& command, PlaceOptions& options);
// Adds the options that choose a zone only (--place, --tz, --utc-offset,
// --zone) to a command whose answers are the same everywhere; --lat and --lon
// are refused with a word on why.
void AddZoneOptions(CLI::App& command, PlaceOptions& options);

// The options of the commands that cover a year (table, phases).
struct YearOptions {
  std::optional<int> year;  // default: the current year in the zone
  PlaceOptions place;       // for phases only the zone
  bool json = false;
  bool csv = false;
};
// Adds --year, and --json and --csv, to a command.
void AddYearOption(CLI::App& command, YearOptions& options);
void AddFormatOptions(CLI::App& command, YearOptions& options, const std::string& csvHelp);

// Adds --altitude: the crossings of that altitude of the sun or the moon.
void AddAltitudeOption(CLI::App& command, std::optional<BodyAltitude>& altitude);

// Adds --clock 24h|12h: the clock of the command's text output.
void AddClockOption(CLI::App& command);

struct PlaceAndZone {
  Place place;
  Zone zone;
};

// The place from the first source that has it: --lat and --lon, --place, the
// home place, the place the orbel window saved, the default place. The zone:
// --tz, --utc-offset or --zone, else the city's zone for --place, else the
// home place's zone when the home place is taken, else the system zone. Throws InputError naming
// the option of a value that cannot be used.
PlaceAndZone ResolvePlace(const PlaceOptions& options);

// The instant of a moment read on the zone's clock, or with its own offset
// when it has one; the first of a repeated hour. Throws InputError naming
// `option` for a time the clocks skipped.
Instant InstantOfMoment(const std::string& option, const ClockMoment& moment, const Zone& zone);

}  // namespace orbel
