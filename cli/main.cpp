// orbel-cli: sunrise, sunset, moonrise, moonset and the moon's age from the
// command line.
//
//   orbel-cli                 today's report at the default place
//   orbel-cli day [options]   one date and place
//   orbel-cli table --year Y  every day of a year
//   orbel-cli batch           raw engine queries from standard input
//   orbel-cli phase           the moon-phase picture as PNG or PPM
//
// Exit status: 0 success, 1 batch input had rejected lines or the output or a
// picture could not be written, 2 usage error.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <charconv>
#include <cstdio>
#include <cstring>
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
#include "cities.h"
#include "clock.h"
#include "moon_age.h"
#include "phase.h"
#include "orbel_version.h"
#include "place.h"
#include "report.h"
#include "saved_place.h"
#include "phases.h"
#include "sky.h"
#include "zone.h"

namespace {

using orbel::InputError;

constexpr int kExitUsage = 2;
constexpr int kExitNoEvent = 3;

// Place and zone options shared by "day" and "table". The texts are only read
// when the option was given, so an empty value is rejected, not taken as absent.
struct PlaceOptions {
  std::string latitude, longitude, place, tz, utcOffset, zone;
  CLI::Option* latitudeOption = nullptr;
  CLI::Option* longitudeOption = nullptr;
  CLI::Option* placeOption = nullptr;
  CLI::Option* tzOption = nullptr;
  CLI::Option* utcOffsetOption = nullptr;
  CLI::Option* zoneOption = nullptr;
};

struct DayOptions {
  std::string date, at;
  PlaceOptions place;
  bool json = false;
  bool twilight = false;
};

struct TableOptions {
  std::string year;
  PlaceOptions place;
  bool json = false;
  bool csv = false;
  std::string twilight;
};

void AddPlaceOptions(CLI::App& command, PlaceOptions& options) {
  options.latitudeOption =
      command
          .add_option("--lat,--latitude", options.latitude,
                      "Latitude, north positive: 48.7433, -33.8667, 48:44:36N, 33:52:0S")
          ->type_name("DEG");
  options.longitudeOption =
      command
          .add_option("--lon,--longitude", options.longitude,
                      "Longitude, east positive: 9.3075, -122.4194, 9:18:27E, 122:25:10W")
          ->type_name("DEG");
  options.placeOption =
      command
          .add_option("--place", options.place,
                      "A principal city of the zone database, such as kolkata, berlin or "
                      "\"St Johns\"; its time zone too, unless a zone option is given")
          ->type_name("CITY");
  options.tzOption =
      command.add_option("--tz", options.tz, "Time zone by name: Asia/Kolkata, Europe/Berlin")
          ->type_name("NAME");
  options.utcOffsetOption =
      command
          .add_option("--utc-offset", options.utcOffset,
                      "Fixed offset from UTC: +05:30 for India, -03:30 for Newfoundland")
          ->type_name("+HH:MM");
  options.zoneOption =
      command
          .add_option("--zone", options.zone,
                      "Fixed offset the engine's way, hours that added to the local clock give "
                      "UTC: -1 for UTC+01:00, 5 for UTC-05:00, -5.5 or -5:30 for UTC+05:30")
          ->type_name("HOURS");
  options.tzOption->excludes(options.utcOffsetOption)->excludes(options.zoneOption);
  options.utcOffsetOption->excludes(options.zoneOption);
}

// Runs a parser on an option's text; a rejection becomes a message that names
// the option and the value.
template <typename Parse>
auto ParseOption(const char* option, const std::string& text, Parse parse) {
  try {
    return parse(text);
  } catch (const InputError& e) {
    throw InputError(std::string("invalid ") + option + " " + orbel::Quoted(text) + ": " +
                     e.what());
  }
}

struct PlaceAndZone {
  orbel::Place place;
  orbel::Zone zone;
};

// The place from the first source that has it: --lat and --lon, --place, the
// place the orbel window saved, the default place; a coordinate given alone
// replaces that one of the place found otherwise. The zone: --tz, --utc-offset
// or --zone, else the city's zone for --place, else the system zone.
PlaceAndZone ResolvePlace(const PlaceOptions& options) {
  std::optional<orbel::City> city;
  if (options.placeOption->count() > 0) {
    city = ParseOption("--place", options.place, [](const std::string& name) {
      return orbel::FindCity(orbel::DatabaseCities(), name);
    });
  }
  orbel::Place place{orbel::kDefaultLatitude, orbel::kDefaultLongitude, "default place"};
  if (city) {
    place = orbel::Place{city->latitude, city->longitude, city->name};
  } else if (const std::optional<orbel::Place> saved = orbel::SavedPlace()) {
    place = *saved;
  }
  const bool latitudeGiven = options.latitudeOption->count() > 0;
  const bool longitudeGiven = options.longitudeOption->count() > 0;
  if (latitudeGiven) place.latitude = ParseOption("--lat", options.latitude, orbel::ParseLatitude);
  if (longitudeGiven) {
    place.longitude = ParseOption("--lon", options.longitude, orbel::ParseLongitude);
  }
  if (latitudeGiven && longitudeGiven) {
    place.source = "given";
  } else if (latitudeGiven || longitudeGiven) {
    place.source += latitudeGiven ? ", latitude given" : ", longitude given";
  }

  PlaceAndZone result{place, orbel::SystemZone()};
  if (options.tzOption->count() > 0) {
    result.zone = ParseOption("--tz", options.tz, orbel::NamedZone);
  } else if (options.utcOffsetOption->count() > 0) {
    result.zone =
        orbel::FixedZone(ParseOption("--utc-offset", options.utcOffset, orbel::ParseUtcOffset));
  } else if (options.zoneOption->count() > 0) {
    result.zone = orbel::FixedZone(ParseOption("--zone", options.zone, orbel::ParseEngineZone));
  } else if (city) {
    result.zone = orbel::NamedZone(city->zone);
  }
  return result;
}

// "HH:MM", 00:00 to 23:59, into minutes after midnight.
int ParseClockTime(std::string_view text) {
  const auto digit = [&](size_t i) { return text[i] >= '0' && text[i] <= '9'; };
  if (text.size() != 5 || text[2] != ':' || !digit(0) || !digit(1) || !digit(3) || !digit(4)) {
    throw InputError("expected a clock time as HH:MM");
  }
  const int hours = (text[0] - '0') * 10 + (text[1] - '0');
  const int minutes = (text[3] - '0') * 10 + (text[4] - '0');
  if (hours > 23 || minutes > 59) throw InputError("not a time of the day");
  return hours * 60 + minutes;
}

int RunDay(const DayOptions& options, const CLI::App& command) {
  const orbel::Date date = command.count("--date") > 0
                               ? ParseOption("--date", options.date, orbel::ParseDate)
                               : orbel::Today();
  const PlaceAndZone where = ResolvePlace(options.place);
  const int litMinutes =
      command.count("--at") > 0 ? ParseOption("--at", options.at, ParseClockTime) : 12 * 60;
  const orbel::DayReport report = orbel::ComputeDay(date, where.place, where.zone,
                                                    options.twilight || options.json, litMinutes);
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
  const PlaceAndZone where = ResolvePlace(options.place);
  table.place = where.place;
  table.zoneName = where.zone.name;
  for (int i = 0; i < 3 && !options.twilight.empty(); ++i) {
    if (options.twilight == orbel::kTwilightNames[i]) table.twilightKind = i;
  }
  const bool twilight = !options.twilight.empty();
  for (const orbel::Date& date : orbel::DatesOfYear(table.year)) {
    table.days.push_back(orbel::ComputeDay(date, table.place, where.zone, twilight));
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

struct PhasesOptions {
  std::string year;
  PlaceOptions place;
  bool json = false;
  bool csv = false;
};

// Every principal phase of a year of the zone's calendar days.
int RunPhases(const PhasesOptions& options) {
  const int year = ParseOption("--year", options.year, orbel::ParseYear);
  const PlaceAndZone where = ResolvePlace(options.place);
  const int64_t from = orbel::MakeCivilDay({year, 1, 1}, where.zone).start;
  const int64_t to = year < orbel::kMaxYear
                         ? orbel::MakeCivilDay({year + 1, 1, 1}, where.zone).start
                         : orbel::MakeCivilDay({year, 12, 31}, where.zone).end;
  const std::vector<orbel::PhaseInstant> phases = orbel::PhasesBetween(from, to);
  if (options.json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const orbel::PhaseInstant& p : phases) {
      list.push_back({{"phase", orbel::PrincipalPhaseName(p.phase)},
                      {"time", orbel::IsoMinute(where.zone, p.instant)}});
    }
    std::cout << nlohmann::ordered_json{{"year", year},
                                        {"zone", where.zone.name.empty()
                                                     ? nullptr
                                                     : nlohmann::ordered_json(where.zone.name)},
                                        {"phases", list}}
                     .dump(2)
              << '\n';
    return 0;
  }
  if (options.csv) std::cout << "phase,time\n";
  if (!options.csv) {
    std::cout << "Moon phases of " << year << ", "
              << (where.zone.name.empty() ? "fixed offset" : where.zone.name) << "\n";
  }
  for (const orbel::PhaseInstant& p : phases) {
    if (options.csv) {
      std::cout << orbel::PrincipalPhaseName(p.phase) << ','
                << orbel::IsoMinute(where.zone, p.instant) << '\n';
    } else {
      const std::string iso = orbel::IsoMinute(where.zone, p.instant);
      std::cout << orbel::LocalMinute(where.zone, p.instant) << " UTC" << iso.substr(16) << "  "
                << orbel::PrincipalPhaseName(p.phase) << '\n';
    }
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
  if (ec != std::errc() || ptr != end || age < 0 || age > orbel::kMaxMoonAge) {
    throw InputError("not a whole number of days from 0 to " + std::to_string(orbel::kMaxMoonAge));
  }
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

// Seconds since 1970 on the wall clock, with its fraction.
double WallClock() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// "9 d 08 h", "1 h 05 min", "4 min 10 s", "12 s".
std::string Duration(int64_t seconds) {
  char text[48];
  if (seconds >= 86400) {
    std::snprintf(text, sizeof text, "%lld d %02lld h", static_cast<long long>(seconds / 86400),
                  static_cast<long long>(seconds / 3600 % 24));
  } else if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld h %02lld min", static_cast<long long>(seconds / 3600),
                  static_cast<long long>(seconds / 60 % 60));
  } else if (seconds >= 60) {
    std::snprintf(text, sizeof text, "%lld min %02lld s", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60));
  } else {
    std::snprintf(text, sizeof text, "%lld s", static_cast<long long>(seconds));
  }
  return text;
}

// Sleeps until the wall clock reaches `moment`, in steps of at most five
// seconds, so that a clock set forward or a suspension that passes the moment
// ends the wait within a step, and a clock set back lengthens it.
void SleepUntil(int64_t moment) {
  for (double now = WallClock(); now < moment; now = WallClock()) {
    const double step = std::min(5.0, static_cast<double>(moment) - now);
    std::this_thread::sleep_for(std::chrono::duration<double>(step));
  }
}

// Days to look ahead, 1 to 366.
int ParseDays(std::string_view text) {
  int days = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, days);
  if (ec != std::errc() || ptr != end || days < 1 || days > 366) {
    throw InputError("not a whole number of days from 1 to 366");
  }
  return days;
}

struct WaitOptions {
  std::string event, shift, within;
  PlaceOptions place;
  bool dryRun = false;
};

int RunWait(const WaitOptions& options, const CLI::App& command) {
  const orbel::EventKind event = ParseOption("EVENT", options.event, orbel::ParseEventKind);
  const int shift = command.count("--offset") > 0
                        ? ParseOption("--offset", options.shift, orbel::ParseClockShift)
                        : 0;
  const int days =
      command.count("--within") > 0 ? ParseOption("--within", options.within, ParseDays) : 366;
  const PlaceAndZone where = ResolvePlace(options.place);
  const int64_t now = static_cast<int64_t>(std::ceil(WallClock()));
  // The first event whose moment, event + shift, is not in the past.
  const std::optional<orbel::Occurrence> next =
      orbel::NextOccurrence(event, where.place, where.zone, now - shift, days + 1);
  if (!next || next->instant + shift > now + days * int64_t{86400}) {
    std::cerr << "orbel-cli: no " << event.name << " within " << days
              << (days == 1 ? " day" : " days") << " at "
              << orbel::FormatLatitude(where.place.latitude) << " "
              << orbel::FormatLongitude(where.place.longitude) << "\n";
    return kExitNoEvent;
  }
  const int64_t moment = next->instant + shift;
  std::string line = orbel::FormatInstant(where.zone, moment) + ", " + event.name + " at " +
                     orbel::FormatInstant(where.zone, next->instant).substr(11, 8);
  if (shift != 0)
    line +=
        " " + std::string(shift < 0 ? "- " : "+ ") + orbel::FormatOffset(std::abs(shift)).substr(1);
  line += ", in " + Duration(moment - now);
  if (options.dryRun) {
    std::cout << line << '\n';
    return 0;
  }
  std::cerr << "orbel-cli: waiting until " << line << std::endl;
  SleepUntil(moment);
  return 0;
}

struct NowOptions {
  PlaceOptions place;
  bool json = false;
  std::string body;
};

// Where a body stands now, whether it is up, and its next rise or set.
nlohmann::ordered_json BodyNow(orbel::Horizon body, const PlaceAndZone& where, int64_t now) {
  const SkyPosition position = orbel::PositionAt(body, where.place, where.zone, now);
  const bool moon = body == orbel::Horizon::kMoon;
  std::optional<orbel::Occurrence> next;
  std::string nextName;
  for (const char* name : {moon ? "moonrise" : "sunrise", moon ? "moonset" : "sunset"}) {
    const std::optional<orbel::Occurrence> o =
        orbel::NextOccurrence(orbel::ParseEventKind(name), where.place, where.zone, now + 1);
    if (o && (!next || o->instant < next->instant)) {
      next = o;
      nextName = name;
    }
  }
  nlohmann::ordered_json json = {{"altitude", position.altitude},
                                 {"azimuth", position.azimuth},
                                 {"up", orbel::IsUp(body, where.place, where.zone, now)}};
  json["next"] =
      next ? nlohmann::ordered_json{{"event", nextName},
                                    {"time", orbel::FormatInstant(where.zone, next->instant)}}
           : nlohmann::ordered_json(nullptr);
  return json;
}

int RunNow(const NowOptions& options) {
  const PlaceAndZone where = ResolvePlace(options.place);
  const int64_t now = static_cast<int64_t>(WallClock());
  nlohmann::ordered_json json;
  json["time"] = orbel::FormatInstant(where.zone, now);
  json["place"] = {{"latitude", where.place.latitude},
                   {"longitude", where.place.longitude},
                   {"source", where.place.source}};
  json["sun"] = BodyNow(orbel::Horizon::kSun, where, now);
  json["moon"] = BodyNow(orbel::Horizon::kMoon, where, now);
  json["twilight"] = orbel::TwilightBand(where.place, where.zone, now);
  if (options.json) {
    std::cout << json.dump(2) << '\n';
    return 0;
  }
  std::cout << "Orbel now: " << json["time"].get<std::string>() << "\n";
  for (const char* body : {"sun", "moon"}) {
    const nlohmann::ordered_json& b = json[body];
    char line[160];
    std::snprintf(line, sizeof line, "  %-5s altitude %6.1f\u00b0  azimuth %5.1f\u00b0  %-4s",
                  body[0] == 's' ? "Sun" : "Moon", b["altitude"].get<double>(),
                  b["azimuth"].get<double>(), b["up"].get<bool>() ? "up" : "down");
    std::cout << line;
    if (!b["next"].is_null()) {
      std::cout << "  next " << b["next"]["event"].get<std::string>() << " "
                << b["next"]["time"].get<std::string>();
    }
    std::cout << "\n";
  }
  std::cout << "  Twilight " << json["twilight"].get<std::string>() << "\n";
  return 0;
}

int RunIsUp(const NowOptions& options) {
  const PlaceAndZone where = ResolvePlace(options.place);
  const orbel::Horizon body = options.body == "moon" ? orbel::Horizon::kMoon : orbel::Horizon::kSun;
  return orbel::IsUp(body, where.place, where.zone, static_cast<int64_t>(WallClock())) ? 0 : 1;
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
      "moon's age, for one date and place. Without a command: today's report, like \"day\".",
      "orbel-cli"};
  app.set_version_flag("--version", std::string("orbel-cli ") + ORBEL_VERSION_TEXT);
  app.require_subcommand(0, 1);
  app.footer(
      "Examples:\n"
      "  orbel-cli day --place kolkata\n"
      "  TZ=Asia/Kolkata orbel-cli day --date 2026-12-21 --lat 28.6139 --lon 77.209\n"
      "  orbel-cli day --lat 47.56 --lon -52.71 --utc-offset -03:30 --json\n"
      "  orbel-cli table --year 2026 --place berlin --csv\n"
      "  echo '21 12 2026 28.6139 77.209 -5.5' | orbel-cli batch\n"
      "  orbel-cli phase --date 2026-12-24 --out moon.png\n"
      "  orbel-cli day --twilight --place berlin\n"
      "  orbel-cli wait sunset --offset -00:30 && echo lights\n"
      "  orbel-cli is-up sun && echo day\n"
      "  orbel-cli phases --year 2026\n"
      "Exit status: 0 done (is-up: the body is up); 1 rejected batch lines, output or a "
      "picture not written (is-up: down); 2 a usage error; 3 wait found no event within a "
      "year.");

  DayOptions dayOptions;
  CLI::App* day = app.add_subcommand("day", "Report of one date and place");
  day->add_option("--date", dayOptions.date, "Date (default: today)")->type_name("YYYY-MM-DD");
  day->add_option("--at", dayOptions.at,
                  "Local clock time of the moon's lit percentage (default 12:00)")
      ->type_name("HH:MM");
  AddPlaceOptions(*day, dayOptions.place);
  day->add_flag("--json", dayOptions.json,
                "Write the report as one JSON object (twilight always included)");
  day->add_flag("--twilight", dayOptions.twilight,
                "Also civil, nautical and astronomical dawn and dusk (the sun's centre 6, 12 and "
                "18 degrees below the horizon)");
  const char* const kPlaceAndZoneHelp =
      "The place: --lat and --lon, else --place, else the place the orbel window saved last, "
      "else 48:44:36N 9:18:27E; the report says which. The zone: --tz, --utc-offset or --zone "
      "(one of them), else the city's zone with --place, else the system zone (TZ), with its "
      "exact offset on each date. On a day the clocks change each event is shown at the clock "
      "time in force at its instant, and a time of the repeated hour with the zone's "
      "abbreviation (02:04 CEST, 02:04 CET). Dates are those of the calendar in use: Julian up "
      "to 1582-10-04, Gregorian from 1582-10-15.";
  day->footer(kPlaceAndZoneHelp);

  TableOptions tableOptions;
  CLI::App* table = app.add_subcommand("table", "Every day of a year, one line per day");
  table->add_option("--year", tableOptions.year, "Year, 1 to 9999")->type_name("YYYY")->required();
  AddPlaceOptions(*table, tableOptions.place);
  CLI::Option* json = table->add_flag("--json", tableOptions.json, "Write JSON");
  CLI::Option* csv = table->add_flag("--csv", tableOptions.csv, "Write CSV with a header row");
  json->excludes(csv);
  table
      ->add_option("--twilight", tableOptions.twilight,
                   "Add the dawn and dusk of this twilight as two more columns")
      ->check(CLI::IsMember({"civil", "nautical", "astronomical"}))
      ->type_name("civil|nautical|astronomical");
  table->footer(kPlaceAndZoneHelp);

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

  PhasesOptions phasesOptions;
  CLI::App* phases = app.add_subcommand(
      "phases", "New, first quarter, full and last quarter moons of a year, to the minute");
  phases->add_option("--year", phasesOptions.year, "Year, 1 to 9999")
      ->type_name("YYYY")
      ->required();
  AddPlaceOptions(*phases, phasesOptions.place);
  CLI::Option* phasesJson = phases->add_flag("--json", phasesOptions.json, "Write JSON");
  phasesJson->excludes(phases->add_flag("--csv", phasesOptions.csv, "Write CSV"));
  phases->footer(
      "The instants when the moon's ecliptic longitude is 0, 90, 180 and 270 degrees from the "
      "sun's, from the engine's own series, on the zone's clock; dates in the calendar in use. "
      "The place options only choose the zone (with --place). Example:\n"
      "  orbel-cli phases --year 2026 --tz Europe/Berlin");

  WaitOptions waitOptions;
  CLI::App* wait = app.add_subcommand(
      "wait", "Sleep until the next sunrise, sunset, moonrise, moonset, dawn or dusk");
  wait->add_option("EVENT", waitOptions.event, orbel::EventKindNames())
      ->required()
      ->type_name("EVENT");
  wait->add_option("--offset", waitOptions.shift,
                   "Return this long before (-) or after (+) the event: -00:30, +01:15")
      ->type_name("+HH:MM");
  AddPlaceOptions(*wait, waitOptions.place);
  wait->add_option("--within", waitOptions.within,
                   "Give up (exit status 3) when the moment is more than this many days away "
                   "(default 366)")
      ->type_name("DAYS");
  wait->add_flag("--dry-run", waitOptions.dryRun, "Print the moment and return at once");
  wait->footer(
      "Finds the next moment EVENT + --offset that is not in the past, over the days of up to a "
      "year (polar days and days with two moonrises included), writes one line on standard "
      "error saying when it will return, sleeps and exits 0 then. The clock is checked every "
      "few seconds, so a clock change or a suspension does not make it oversleep. Exit status "
      "3 when no such event comes within --within days. Example, from cron at noon:\n"
      "  orbel-cli wait sunset --offset -00:30 --place berlin && switch-on-the-lights");

  NowOptions nowOptions;
  CLI::App* now = app.add_subcommand(
      "now", "Where the sun and the moon stand now, whether they are up, and their next event");
  AddPlaceOptions(*now, nowOptions.place);
  now->add_flag("--json", nowOptions.json, "Write one JSON object");
  now->footer(
      "Altitude and azimuth of the centre (geocentric, without refraction). Up or down comes "
      "from the same day scans as the printed rise and set times. Example:\n"
      "  orbel-cli now --place kolkata");

  NowOptions isUpOptions;
  CLI::App* isUp = app.add_subcommand("is-up", "Exit 0 when the sun or the moon is up, 1 if not");
  isUp->add_option("BODY", isUpOptions.body, "sun or moon")
      ->required()
      ->check(CLI::IsMember({"sun", "moon"}));
  AddPlaceOptions(*isUp, isUpOptions.place);
  isUp->footer("Prints nothing. Example:\n  if orbel-cli is-up sun --place berlin; then ...; fi");

  PhaseOptions phaseOptions;
  CLI::App* phase = app.add_subcommand("phase", "The moon-phase picture as an image file");
  CLI::Option* ageOption =
      phase->add_option("--age", phaseOptions.age, "Moon age in days, 0 to 30")->type_name("DAYS");
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
    // Options before any command are meant for "day".
    if (argc > 1 && argv[1][0] == '-' && app.get_subcommands().empty()) {
      std::string suggestion = "orbel-cli day";
      for (int i = 1; i < argc; ++i) suggestion += std::string(" ") + argv[i];
      std::cerr << "orbel-cli: options need a command before them: "
                << orbel::Printable(suggestion, 120) << " (see orbel-cli --help)\n";
      return kExitUsage;
    }
    std::cerr << "orbel-cli: " << orbel::Printable(e.what(), 200) << " (see orbel-cli --help)\n";
    return kExitUsage;
  }

  int status = 0;
  try {
    if (*table) {
      status = RunTable(tableOptions);
    } else if (*phases) {
      status = RunPhases(phasesOptions);
    } else if (*wait) {
      status = RunWait(waitOptions, *wait);
    } else if (*now) {
      status = RunNow(nowOptions);
    } else if (*isUp) {
      status = RunIsUp(isUpOptions);
    } else if (*batch) {
      status = RunBatchCommand(batchJobs, *batch);
    } else if (*phase) {
      if (ageOption->count() == 0 && dateOption->count() == 0) {
        throw InputError("phase needs --age or --date (see orbel-cli phase --help)");
      }
      status = RunPhase(phaseOptions, *phase);
    } else {
      status = RunDay(dayOptions, *day);
    }
  } catch (const InputError& e) {
    std::cerr << "orbel-cli: " << e.what() << '\n';
    return kExitUsage;
  }
  // Output that did not reach its file (a full disk, /dev/full) is a failure.
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::cerr << "orbel-cli: cannot write the output"
              << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << '\n';
    return 1;
  }
  return status;
}
