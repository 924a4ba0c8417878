// orbel-cli: sunrise, sunset, moonrise, moonset and the moon's age from the
// command line.
//
//   orbel-cli                 today's report at the default place
//   orbel-cli day [options]   one date and place
//   orbel-cli table --year Y  every day of a year
//   orbel-cli batch           raw engine queries from standard input
//   orbel-cli phase           the moon-phase picture as PNG or PPM
//
// Exit status: 0 success, 1 batch input had rejected lines, 2 usage error.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#ifdef _WIN32
#include <io.h>
#define ORBEL_ISATTY _isatty
#else
#include <unistd.h>
#define ORBEL_ISATTY isatty
#endif

#include <CLI/CLI.hpp>

#include "batch.h"
#include "moon_age.h"
#include "phase.h"
#include "clock.h"
#include "place.h"
#include "report.h"

#ifndef ORBEL_VERSION
#define ORBEL_VERSION "unknown"
#endif

namespace {

using orbel::InputError;

constexpr int kExitUsage = 2;

// Place and zone options shared by "day" and "table". The texts are only read
// when the option was given, so an empty value is rejected, not taken as absent.
struct PlaceOptions {
  std::string latitude;
  std::string longitude;
  std::string zone;
  CLI::Option* latitudeOption = nullptr;
  CLI::Option* longitudeOption = nullptr;
  CLI::Option* zoneOption = nullptr;
};

struct DayOptions {
  std::string date;
  PlaceOptions place;
  bool json = false;
};

struct TableOptions {
  std::string year;
  PlaceOptions place;
  bool json = false;
  bool csv = false;
};

void AddPlaceOptions(CLI::App& command, PlaceOptions& options) {
  options.latitudeOption =
      command
          .add_option("--lat,--latitude", options.latitude,
                      "Latitude, north positive: 48.7433, -33.8667, 48:44:36N, 33:52:0S "
                      "(default 48:44:36N)")
          ->type_name("DEG");
  options.longitudeOption =
      command
          .add_option("--lon,--longitude", options.longitude,
                      "Longitude, east positive: 9.3075, -122.4194, 9:18:27E, 122:25:10W "
                      "(default 9:18:27E)")
          ->type_name("DEG");
  options.zoneOption =
      command
          .add_option("--zone", options.zone,
                      "Hours that, added to the local clock, give UTC: -1 for UTC+1, -2 for "
                      "UTC+2, 5 for UTC-5; -14 to 12 (default: the system time zone's offset at "
                      "local noon of the date, daylight saving included, truncated to whole hours)")
          ->type_name("HOURS");
}

// Runs a parser on an option's text; a rejection becomes a message that names
// the option and the value.
template <typename Parse>
auto ParseOption(const char* option, const std::string& text, Parse parse) {
  try {
    return parse(text);
  } catch (const InputError& e) {
    throw InputError(std::string("invalid ") + option + " \"" + text + "\": " + e.what());
  }
}

orbel::Place ResolvePlace(const PlaceOptions& options) {
  orbel::Place place{orbel::kDefaultLatitude, orbel::kDefaultLongitude};
  if (options.latitudeOption->count() > 0) {
    place.latitude = ParseOption("--lat", options.latitude, orbel::ParseLatitude);
  }
  if (options.longitudeOption->count() > 0) {
    place.longitude = ParseOption("--lon", options.longitude, orbel::ParseLongitude);
  }
  return place;
}

std::optional<int> ResolveFixedZone(const PlaceOptions& options) {
  if (options.zoneOption->count() == 0) return std::nullopt;
  return ParseOption("--zone", options.zone, orbel::ParseZone);
}

int ZoneFor(const std::optional<int>& fixedZone, const orbel::Date& date) {
  if (fixedZone) return *fixedZone;
  const std::optional<int> zone = orbel::SystemZone(date);
  if (!zone) {
    throw InputError("cannot find the system time zone on " + orbel::FormatDate(date) +
                     "; give it with --zone");
  }
  return *zone;
}

int RunDay(const DayOptions& options, const CLI::App& command) {
  const orbel::Date date = command.count("--date") > 0
                               ? ParseOption("--date", options.date, orbel::ParseDate)
                               : orbel::Today();
  const orbel::Place place = ResolvePlace(options.place);
  const int zone = ZoneFor(ResolveFixedZone(options.place), date);
  const orbel::DayReport report = orbel::ComputeDay(date, place, zone);
  if (options.json) {
    std::cout << orbel::DayToJson(report).dump(2) << '\n';
  } else {
    std::cout << orbel::FormatDayText(report);
  }
  return 0;
}

int RunTable(const TableOptions& options) {
  orbel::Table table{};
  table.year = ParseOption("--year", options.year, orbel::ParseYear);
  table.place = ResolvePlace(options.place);
  table.fixedZone = ResolveFixedZone(options.place);
  for (const orbel::Date& date : orbel::DatesOfYear(table.year)) {
    table.days.push_back(orbel::ComputeDay(date, table.place, ZoneFor(table.fixedZone, date)));
  }
  if (options.json) {
    std::cout << orbel::TableToJson(table).dump(2) << '\n';
  } else if (options.csv) {
    orbel::WriteTableCsv(std::cout, table);
  } else {
    orbel::WriteTableText(std::cout, table);
  }
  return 0;
}

struct PhaseOptions {
  std::string age;
  std::string date;
  std::string radius;
  std::string out;
};

int32_t ParseAge(std::string_view text) {
  int32_t age = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, age);
  if (ec != std::errc() || ptr != end) throw InputError("not a whole number of days");
  return age;
}

int ParseRadius(std::string_view text) {
  int radius = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, radius);
  if (ec != std::errc() || ptr != end || radius < 1 || radius > orbel::kMaxRadius) {
    throw InputError("not a radius from 1 to " + std::to_string(orbel::kMaxRadius));
  }
  return radius;
}

int RunPhase(const PhaseOptions& options, const CLI::App& command) {
  int32_t age = 0;
  if (command.count("--age") > 0) {
    age = ParseOption("--age", options.age, ParseAge);
  } else {
    const orbel::Date date = ParseOption("--date", options.date, orbel::ParseDate);
    age = MoonAge(static_cast<uint8_t>(date.day), static_cast<uint8_t>(date.month),
                  static_cast<uint32_t>(date.year));
  }
  const int radius = command.count("--radius") > 0
                         ? ParseOption("--radius", options.radius, ParseRadius)
                         : orbel::kFrameRadius;
  try {
    orbel::WritePhasePicture(age, radius, options.out);
  } catch (const std::runtime_error& e) {
    if (dynamic_cast<const InputError*>(&e) != nullptr) throw;
    std::cerr << "orbel-cli: " << e.what() << '\n';
    return 1;
  }
  return 0;
}

unsigned ParseJobs(std::string_view text) {
  unsigned jobs = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, jobs);
  if (ec != std::errc() || ptr != end || jobs < 1 || jobs > orbel::kMaxBatchJobs) {
    throw InputError("not a whole number from 1 to " + std::to_string(orbel::kMaxBatchJobs));
  }
  return jobs;
}

int RunBatchCommand(const std::string& jobs, const CLI::App& command) {
  orbel::BatchOptions options;
  options.jobs = command.count("--jobs") > 0 ? ParseOption("--jobs", jobs, ParseJobs)
                                             : orbel::DefaultBatchJobs();
  // Lines typed at a terminal come one at a time: each is answered as soon as
  // it is complete, on this thread.
  if (ORBEL_ISATTY(0) != 0) options.jobs = 1;
  options.flushEachLine = ORBEL_ISATTY(1) != 0;
  std::ios::sync_with_stdio(false);
  std::cin.tie(nullptr);
  return orbel::RunBatch(std::cin, std::cout, std::cerr, options);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Orbel: local clock times and azimuths of sunrise, sunset, moonrise and moonset, and the "
      "moon's age, for one date and place. Without a command: today's report at the default "
      "place in the system time zone.",
      "orbel-cli"};
  app.set_version_flag("--version", std::string("orbel-cli ") + ORBEL_VERSION);
  app.require_subcommand(0, 1);

  DayOptions dayOptions;
  CLI::App* day = app.add_subcommand("day", "Report of one date and place");
  day->add_option("--date", dayOptions.date, "Date (default: today)")->type_name("YYYY-MM-DD");
  AddPlaceOptions(*day, dayOptions.place);
  day->add_flag("--json", dayOptions.json, "Write the report as one JSON object");

  TableOptions tableOptions;
  CLI::App* table = app.add_subcommand("table", "Every day of a year, one line per day");
  table->add_option("--year", tableOptions.year, "Year, 1 to 9999")->type_name("YYYY")->required();
  AddPlaceOptions(*table, tableOptions.place);
  CLI::Option* json = table->add_flag("--json", tableOptions.json, "Write JSON");
  CLI::Option* csv = table->add_flag("--csv", tableOptions.csv, "Write CSV with a header row");
  json->excludes(csv);

  CLI::App* batch = app.add_subcommand("batch", "Raw engine queries from standard input");
  batch->footer(
      "Reads lines 'DAY MONTH YEAR LAT LON ZONE' (blank-separated) from standard input and "
      "writes one line of 17 tab-separated results for each: sunrise hour, minute, azimuth, "
      "text; the same for sunset, moonrise and moonset; the moon's age. The values go to the "
      "engine as given: DAY and MONTH 0-255, YEAR 0-4294967295, any finite LAT and LON, ZONE "
      "-128 to 127 hours with any decimal fraction (-5.5 for UTC+5:30). Blank lines and lines "
      "starting with # are skipped. A rejected line is "
      "reported on standard error as 'line N: reason' and makes the exit status 1. The output "
      "is the same for any --jobs; whenever no more input is ready, the lines read so far are "
      "answered at once, so a slow writer into the pipe gets each answer right away.");
  std::string batchJobs;
  batch
      ->add_option("--jobs", batchJobs,
                   "Threads that answer lines, 1 to " + std::to_string(orbel::kMaxBatchJobs) +
                       " (default: the number of processors, " +
                       std::to_string(orbel::DefaultBatchJobs()) +
                       " here); lines typed at a terminal are answered one at a time")
      ->type_name("N");

  PhaseOptions phaseOptions;
  CLI::App* phase = app.add_subcommand("phase", "The moon-phase picture as an image file");
  CLI::Option* ageOption =
      phase->add_option("--age", phaseOptions.age, "Moon age in days (30 and above draw as 30)")
          ->type_name("DAYS");
  CLI::Option* dateOption =
      phase->add_option("--date", phaseOptions.date, "Date whose moon age to draw")
          ->type_name("YYYY-MM-DD");
  ageOption->excludes(dateOption);
  phase
      ->add_option("--radius", phaseOptions.radius,
                   "Radius in pixels (default " + std::to_string(orbel::kFrameRadius) +
                       ", as in the dialog's frame)")
      ->type_name("PIXELS");
  phase->add_option("--out", phaseOptions.out, "Output file, .png or .ppm")
      ->type_name("FILE")
      ->required();
  phase->footer("Give exactly one of --age and --date.");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);  // --help, --version
    std::cerr << "orbel-cli: " << e.what() << " (see orbel-cli --help)\n";
    return kExitUsage;
  }

  try {
    if (*table) return RunTable(tableOptions);
    if (*batch) return RunBatchCommand(batchJobs, *batch);
    if (*phase) {
      if (ageOption->count() == 0 && dateOption->count() == 0) {
        throw InputError("phase needs --age or --date (see orbel-cli phase --help)");
      }
      return RunPhase(phaseOptions, *phase);
    }
    return RunDay(dayOptions, *day);
  } catch (const InputError& e) {
    std::cerr << "orbel-cli: " << e.what() << '\n';
    return kExitUsage;
  }
}
