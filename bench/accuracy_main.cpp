// orbel_accuracy: how close our rises and sets come to published USNO tables,
// with libnova and PyEphem side by side.
//
//   orbel_accuracy [FOLDER] [--window MINUTES] [--by-table] [--unmatched]
//                           [--python PATH] [--pyephem-helper PATH] [--no-pyephem]
//   orbel_accuracy [FOLDER] --twilight [--by-table] [--python PATH]
//                           [--pyephem-helper PATH]
//
// FOLDER holds the tables (see bench/usno_tables.h for the formats read), by
// default bench/data of the source tree this program was built from. The
// report is Markdown on standard output: per body and event, how many of the
// listed events each method matched within the window and the median, 95th
// percentile and maximum difference in whole minutes; then the days on which
// the table lists no event and what each method says on them. --by-table adds
// the figures per table and place, --unmatched lists the table events our
// engine did not match, with what it says on that day.
//
// --twilight instead compares our civil, nautical and astronomical dawn and
// dusk with PyEphem's, day by day at the tables' places, days and zones (no
// published table lists them); --by-table adds the figures per place.
//
//   orbel_accuracy [FOLDER] --phases [--python PATH] [--pyephem-phases PATH]
//
// --phases compares our principal-phase instants, and PyEphem's, with the
// published list in FOLDER (astronomy-engine_moonphases.txt), and our lit
// fraction of the Moon with PyEphem's at instants spread over 1800-2100.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <unistd.h>

#include "accuracy_stats.h"
#include "civil_days.h"
#include "lunar_phase.h"
#include "moon_events.h"
#include "sun_events.h"
#include "usno_tables.h"
#ifdef ORBEL_HAVE_LIBNOVA
#include "libnova_peer.h"
#endif

namespace {

using namespace orbel_bench;

const double kPolarCircle = 66.56;

struct Options {
  std::string folder = ORBEL_ACCURACY_DATA;
  bool folderGiven = false;
  int window = 180;
  bool byTable = false;
  bool unmatched = false;
  bool pyephem = true;
  bool twilight = false;
  bool phases = false;
  std::string python = "/usr/bin/python3";
  std::string helper = ORBEL_PYEPHEM_HELPER;
  std::string phasesHelper = ORBEL_PYEPHEM_PHASES;
};

// --------------------------------------------------------------- the methods

// A day of the series (days from 2000-01-01 in its zone) as our engine's query.
DayQuery QueryOf(const Series& s, int64_t day) {
  const CivilDate date = CivilFromDays(day);
  return {static_cast<uint32_t>(date.day),
          static_cast<uint32_t>(date.month),
          static_cast<uint32_t>(date.year),
          s.latitude,
          s.longitude,
          static_cast<double>(s.zone)};
}

// A slot of our engine's day as a time of the time line, in whole minutes.
int64_t SlotMinute(const Series& s, int64_t day, const EventSlot& slot) {
  return day * 1440 + slot.hour * 60 + slot.minute + s.zone * 60;
}

// Our engine, one scan per day of the series and the day either side; each day
// gives what the dialog shows, its (last) rise and set, when they happen.
std::vector<MethodEvent> OrbelEvents(const Series& s) {
  std::vector<MethodEvent> events;
  for (int64_t day = s.firstDay - 1; day <= s.lastDay + 1; ++day) {
    const DayQuery query = QueryOf(s, day);
    const BodyDay result = s.body == Body::kSun ? SunDay(query) : MoonDay(query);
    for (const Kind kind : {Kind::kRise, Kind::kSet}) {
      const EventSlot& slot = kind == Kind::kRise ? result.rise : result.set;
      if (slot.status != 0) continue;
      events.push_back({kind, SlotMinute(s, day, slot), day});
    }
  }
  return events;
}

#ifdef ORBEL_HAVE_LIBNOVA
// libnova, asked at local midnight of every day of the series and the day
// either side; it answers with the next rise and set, so neighbouring days
// repeat events.
std::vector<MethodEvent> LibnovaEvents(const Series& s) {
  std::vector<MethodEvent> events;
  for (int64_t day = s.firstDay - 1; day <= s.lastDay + 1; ++day) {
    const double jd = kJulianDayOfDay0 + static_cast<double>(day) + s.zone / 24.0;
    const PeerRiseSet r = s.body == Body::kSun ? LibnovaSunRiseSet(jd, s.latitude, s.longitude)
                                               : LibnovaMoonRiseSet(jd, s.latitude, s.longitude);
    if (r.status != 0) continue;
    events.push_back(EventAt(Kind::kRise, (r.rise - kJulianDayOfDay0) * 1440, s.zone));
    events.push_back(EventAt(Kind::kSet, (r.set - kJulianDayOfDay0) * 1440, s.zone));
  }
  return WithoutRepeats(events);
}
#endif

// Runs a PyEphem helper script on request lines through a temporary file and
// returns its output lines; empty, with the reason in `why`, when it fails.
std::optional<std::vector<std::string>> RunPyEphemHelper(const std::string& helper,
                                                         const std::string& requests,
                                                         const Options& options, std::string* why) {
  char path[] = "/tmp/orbel-accuracy-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) {
    *why = "cannot create a temporary file";
    return std::nullopt;
  }
  close(fd);
  std::ofstream(path) << requests;
  const std::string command =
      "'" + options.python + "' '" + helper + "' < '" + std::string(path) + "'";
  FILE* pipe = popen(command.c_str(), "r");
  std::vector<std::string> lines;
  if (pipe != nullptr) {
    char line[256];
    while (std::fgets(line, sizeof line, pipe) != nullptr) lines.push_back(line);
  }
  const int status = pipe != nullptr ? pclose(pipe) : -1;
  std::remove(path);
  if (status != 0) {
    *why = command + " failed (is python3-ephem installed?)";
    return std::nullopt;
  }
  return lines;
}

// PyEphem through bench/pyephem_events.py; empty when it cannot run. With
// horizons (one per series, degrees) it gives the times the Sun's centre
// crosses that altitude instead of the tables' rises and sets.
std::optional<std::vector<std::vector<MethodEvent>>> PyEphemEvents(
    const std::vector<Series>& series, const Options& options, std::string* why,
    const std::vector<int>& horizons = {}) {
  std::ostringstream request;
  request.precision(12);
  for (size_t i = 0; i < series.size(); ++i) {
    const Series& s = series[i];
    request << i << ' ' << (s.body == Body::kSun ? "sun" : "moon") << ' ' << s.latitude << ' '
            << s.longitude << ' ' << (s.firstDay - 1) * 1440 + s.zone * 60 << ' '
            << (s.lastDay + 2) * 1440 + s.zone * 60;
    if (!horizons.empty()) request << ' ' << horizons[i];
    request << '\n';
  }
  const std::optional<std::vector<std::string>> lines =
      RunPyEphemHelper(options.helper, request.str(), options, why);
  if (!lines) return std::nullopt;
  std::vector<std::vector<MethodEvent>> events(series.size());
  for (const std::string& line : *lines) {
    size_t id = 0;
    char kind = 0;
    double minute = 0;
    if (std::sscanf(line.c_str(), "%zu %c %lf", &id, &kind, &minute) == 3 && id < series.size()) {
      events[id].push_back(
          EventAt(kind == 'r' ? Kind::kRise : Kind::kSet, minute, series[id].zone));
    }
  }
  for (auto& e : events) e = WithoutRepeats(std::move(e));
  return events;
}

// --------------------------------------------------------------- twilight

// Dawn and dusk: the Sun's centre this many degrees below the horizon, with no
// refraction (our zenith distance 90 degrees plus it).
struct Twilight {
  const char* name;
  int depression;
};
const Twilight kTwilights[] = {{"Civil", 6}, {"Nautical", 12}, {"Astronomical", 18}};
const double kTwilightBand = 60;  // degrees of latitude splitting the report
const int kTwilightClose = 2;     // minutes

// One twilight event compared day by day.
struct DayTally {
  int days = 0;
  int oursOnly = 0;
  int theirsOnly = 0;
  int close = 0;                     // days both give it within kTwilightClose
  std::vector<int64_t> differences;  // ours minus PyEphem, days both give it
};

// The places of the tables on their days and in their zones, each once (a
// Sun and a Moon table of one place and year count once).
std::vector<Series> TablePlaces(const std::vector<Series>& series) {
  std::vector<Series> places;
  for (const Series& s : series) {
    const auto same = [&s](const Series& p) {
      return std::tie(p.latitude, p.longitude, p.zone, p.firstDay, p.lastDay) ==
             std::tie(s.latitude, s.longitude, s.zone, s.firstDay, s.lastDay);
    };
    if (std::any_of(places.begin(), places.end(), same)) continue;
    places.push_back(s);
    places.back().events.clear();
  }
  return places;
}

std::string PercentText(int part, int whole) {
  if (whole == 0) return "–";
  char text[16];
  std::snprintf(text, sizeof text, "%.2f %%", 100.0 * part / whole);
  return text;
}

// Our civil, nautical and astronomical dawn and dusk against PyEphem's on
// every day of the tables' places: each side's (last) event of the local day,
// rounded to the minute.
int RunTwilight(const Options& options, const std::vector<Series>& series) {
  const std::vector<Series> places = TablePlaces(series);
  std::vector<Series> requests;
  std::vector<int> horizons;
  for (const Twilight& t : kTwilights) {
    for (Series p : places) {
      p.body = Body::kSun;
      requests.push_back(p);
      horizons.push_back(-t.depression);
    }
  }
  std::string why;
  const auto theirs = PyEphemEvents(requests, options, &why, horizons);
  if (!theirs) {
    std::cerr << "orbel_accuracy: " << why << '\n';
    return 1;
  }

  // By twilight, event and band (beyond kTwilightBand), and by request.
  std::map<std::tuple<size_t, Kind, bool>, DayTally> total;
  std::vector<std::map<Kind, DayTally>> perPlace(requests.size());
  for (size_t i = 0; i < requests.size(); ++i) {
    const Series& s = requests[i];
    const size_t t = i / places.size();
    std::map<std::pair<Kind, int64_t>, int64_t> theirDay;  // their last event of a day
    for (const MethodEvent& e : (*theirs)[i]) theirDay[{e.kind, e.day}] = e.minute;
    for (int64_t day = s.firstDay; day <= s.lastDay; ++day) {
      const BodyDay ours = SunDay(QueryOf(s, day), 90.0 + kTwilights[t].depression);
      for (const Kind kind : {Kind::kRise, Kind::kSet}) {
        const EventSlot& slot = kind == Kind::kRise ? ours.rise : ours.set;
        const auto their = theirDay.find({kind, day});
        const bool hasOurs = slot.status == 0;
        const bool hasTheirs = their != theirDay.end();
        for (DayTally* tally :
             {&total[{t, kind, std::fabs(s.latitude) > kTwilightBand}], &perPlace[i][kind]}) {
          ++tally->days;
          if (hasOurs && hasTheirs) {
            const int64_t d = SlotMinute(s, day, slot) - their->second;
            tally->differences.push_back(d);
            if (std::llabs(d) <= kTwilightClose) ++tally->close;
          } else if (hasOurs) {
            ++tally->oursOnly;
          } else if (hasTheirs) {
            ++tally->theirsOnly;
          }
        }
      }
    }
  }

  const auto row = [](const DayTally& d) {
    const Spread s = SpreadOf(d.differences);
    std::ostringstream out;
    out << d.days << " | " << d.differences.size() << " | ";
    if (d.differences.empty()) {
      out << "–";
    } else {
      out << s.median << " / " << s.p95 << " / " << s.max;
    }
    out << " | "
        << PercentText(d.close, static_cast<int>(d.differences.size()) + d.oursOnly + d.theirsOnly)
        << " | " << d.oursOnly << " · " << d.theirsOnly << " |\n";
    return out.str();
  };
  std::cout << "Dawn and dusk against PyEphem, one comparison per day, both rounded to whole "
               "minutes: days compared, days both give the event, median / 95th percentile / "
               "maximum difference in minutes, the share within "
            << kTwilightClose
            << " minutes of the days either gives it, days only one gives it (Orbel · "
               "PyEphem).\n\n";
  std::cout << "| Twilight | Event | Latitudes | Days | Both | Difference | Within "
            << kTwilightClose << " min | Only one |\n|---|---|---|---:|---:|---|---:|---|\n";
  DayTally band;
  for (const auto& entry : total) {
    const size_t t = std::get<0>(entry.first);
    const bool beyond = std::get<2>(entry.first);
    std::cout << "| " << kTwilights[t].name << " | "
              << (std::get<1>(entry.first) == Kind::kRise ? "dawn" : "dusk") << " | "
              << (beyond ? "beyond " : "up to ") << kTwilightBand << "° | " << row(entry.second);
    if (beyond) continue;
    const DayTally& d = entry.second;
    band.close += d.close;
    band.oursOnly += d.oursOnly;
    band.theirsOnly += d.theirsOnly;
    band.differences.insert(band.differences.end(), d.differences.begin(), d.differences.end());
  }
  std::cout << "\nUp to " << kTwilightBand << "°, all six events: within " << kTwilightClose
            << " minutes on "
            << PercentText(band.close, static_cast<int>(band.differences.size()) + band.oursOnly +
                                           band.theirsOnly)
            << " of the days either gives the event.\n";

  if (options.byTable) {
    std::cout << "\nPer place.\n\n| Place | Twilight | Event | Days | Both | Difference | Within "
              << kTwilightClose << " min | Only one |\n|---|---|---|---:|---:|---|---:|---|\n";
    for (size_t i = 0; i < requests.size(); ++i) {
      for (const Kind kind : {Kind::kRise, Kind::kSet}) {
        std::cout << "| " << requests[i].name << " | " << kTwilights[i / places.size()].name
                  << " | " << (kind == Kind::kRise ? "dawn" : "dusk") << " | "
                  << row(perPlace[i][kind]);
      }
    }
  }
  return 0;
}

// --------------------------------------------------------------- moon phases

const char* const kPhaseNames[] = {"New moon", "First quarter", "Full moon", "Last quarter"};
const char* const kPhaseList = "astronomy-engine_moonphases.txt";
// Both sides search from this many days before the published instant: like
// phases are 29.5 days apart, so the next one found is the nearest.
const double kPhaseLead = 2;
const int kFractionInstants = 1000;
const uint32_t kFractionSeed = 1800;

// Answers of bench/pyephem_phases.py to request lines "ID ...", by ID; empty
// when it cannot run or leaves a request unanswered.
std::optional<std::vector<double>> AskPyEphemPhases(const std::vector<std::string>& requests,
                                                    const Options& options, std::string* why) {
  std::ostringstream request;
  for (size_t i = 0; i < requests.size(); ++i) request << i << ' ' << requests[i] << '\n';
  const std::optional<std::vector<std::string>> lines =
      RunPyEphemHelper(options.phasesHelper, request.str(), options, why);
  if (!lines) return std::nullopt;
  std::vector<double> answers(requests.size(), std::nan(""));
  for (const std::string& line : *lines) {
    size_t id = 0;
    double value = 0;
    if (std::sscanf(line.c_str(), "%zu %lf", &id, &value) == 2 && id < answers.size()) {
      answers[id] = value;
    }
  }
  if (std::any_of(answers.begin(), answers.end(), [](double a) { return std::isnan(a); })) {
    *why = options.phasesHelper + " left requests unanswered";
    return std::nullopt;
  }
  return answers;
}

std::string FineCell(const std::vector<double>& differences, int decimals) {
  const FineSpread s = SpreadOfValues(differences);
  char text[64];
  std::snprintf(text, sizeof text, "%.*f / %.*f / %.*f", decimals, s.median, decimals, s.p95,
                decimals, s.max);
  return text;
}

// "YYYY-MM-DD hh:mm UT" of an instant in days from J2000.0.
std::string InstantText(double d) {
  const int64_t minute = std::llround((d + 0.5) * 1440);
  const int64_t day = FloorDiv(minute, 1440);
  const CivilDate c = CivilFromDays(day);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02lld:%02lld UT", c.year, c.month, c.day,
                static_cast<long long>((minute - day * 1440) / 60),
                static_cast<long long>((minute - day * 1440) % 60));
  return text;
}

// Our principal-phase instants and PyEphem's against the published list, then
// our lit fraction against PyEphem's.
int RunPhases(const Options& options) {
  const std::string path = options.folder + "/" + kPhaseList;
  std::ifstream file(path);
  if (!file) {
    std::cerr << "orbel_accuracy: cannot read " << path << '\n';
    return 1;
  }
  const std::vector<PublishedPhase> listed = ReadPhaseList(file, kPhaseList);
  if (listed.empty()) {
    std::cerr << "orbel_accuracy: no phases in " << path << '\n';
    return 1;
  }

  // Instants 1800-01-01 to 2101-01-01, one in each of kFractionInstants equal
  // stretches at a fixed-seed place within it, so that they fall on every
  // age of the Moon.
  const double first = static_cast<double>(DaysFromCivil(1800, 1, 1)) - 0.5;
  const double span = static_cast<double>(DaysFromCivil(2101, 1, 1) - DaysFromCivil(1800, 1, 1));
  std::mt19937 spread(kFractionSeed);
  std::vector<double> instants;
  for (int i = 0; i < kFractionInstants; ++i) {
    instants.push_back(first + (i + spread() / 4294967296.0) * span / kFractionInstants);
  }

  std::vector<std::string> requests;
  char request[64];
  for (const PublishedPhase& p : listed) {
    std::snprintf(request, sizeof request, "p %d %.9f", p.quarter, p.day - kPhaseLead);
    requests.push_back(request);
  }
  for (const double d : instants) {
    std::snprintf(request, sizeof request, "f %.9f", d);
    requests.push_back(request);
  }
  std::string why;
  const auto theirs = AskPyEphemPhases(requests, options, &why);
  if (!theirs) {
    std::cerr << "orbel_accuracy: " << why << '\n';
    return 1;
  }

  // Differences in minutes, method minus list: [quarter][method], 4 = all.
  std::vector<double> minutes[5][2];
  double worst = 0, worstAt = 0;
  for (size_t i = 0; i < listed.size(); ++i) {
    const PublishedPhase& p = listed[i];
    const double ours =
        NextPrincipalPhase(p.day - kPhaseLead, static_cast<PrincipalPhase>(p.quarter));
    const double differences[2] = {(ours - p.day) * 1440, ((*theirs)[i] - p.day) * 1440};
    for (int m = 0; m < 2; ++m) {
      minutes[p.quarter][m].push_back(differences[m]);
      minutes[4][m].push_back(differences[m]);
    }
    if (std::fabs(differences[0]) > std::fabs(worst)) {
      worst = differences[0];
      worstAt = p.day;
    }
  }
  std::cout << "Principal phases against the published list (" << listed.size()
            << " instants, 1800-2100): median / 95th percentile / maximum of the absolute "
               "difference in minutes.\n\n| Phase | Compared | Orbel | PyEphem |\n"
               "|---|---:|---|---|\n";
  for (int q = 0; q < 5; ++q) {
    std::cout << "| " << (q < 4 ? kPhaseNames[q] : "All") << " | " << minutes[q][0].size() << " | "
              << FineCell(minutes[q][0], 1) << " | " << FineCell(minutes[q][1], 1) << " |\n";
  }
  double bias = 0;
  for (const double m : minutes[4][0]) bias += m;
  std::printf("\nOrbel's mean signed difference: %+.1f minutes; largest %+.1f minutes, at %s.\n",
              bias / static_cast<double>(minutes[4][0].size()), worst,
              InstantText(worstAt).c_str());

  std::vector<double> points;
  double worstPoints = 0, worstPointsAt = 0;
  for (size_t i = 0; i < instants.size(); ++i) {
    const double d = 100 * (LunarPhaseAt(instants[i]).illuminated - (*theirs)[listed.size() + i]);
    points.push_back(d);
    if (std::fabs(d) > std::fabs(worstPoints)) {
      worstPoints = d;
      worstPointsAt = instants[i];
    }
  }
  std::printf(
      "\nLit fraction against PyEphem at %d instants spread over 1800-2100: median / 95th "
      "percentile / maximum of the absolute difference in percentage points.\n\n"
      "| Instants | Orbel − PyEphem |\n|---:|---|\n| %zu | %s |\n\n"
      "Largest: %+.2f points, at %s.\n",
      kFractionInstants, points.size(), FineCell(points, 2).c_str(), worstPoints,
      InstantText(worstPointsAt).c_str());
  return 0;
}

// --------------------------------------------------------------- the report

struct Group {
  Body body;
  Kind kind;
  bool polar;
  bool operator<(const Group& o) const {
    return std::tie(body, kind, polar) < std::tie(o.body, o.kind, o.polar);
  }
};

std::string EventName(Body body, Kind kind) {
  if (body == Body::kSun) return kind == Kind::kRise ? "Sunrise" : "Sunset";
  return kind == Kind::kRise ? "Moonrise" : "Moonset";
}

std::string SpreadCell(const Comparison& c) {
  const Spread s = SpreadOf(c.differences);
  std::ostringstream out;
  out << c.differences.size() << ": " << s.median << " / " << s.p95 << " / " << s.max;
  return out.str();
}

std::string DaysCell(const DayCounts& d) {
  std::ostringstream out;
  out << d.bothNone << " · " << d.invented << " · " << d.missing;
  return out.str();
}

// "YYYY-MM-DD hh:mm" of a time on a day of the table's clock.
std::string LocalText(int64_t day, int64_t minute, int zone) {
  const CivilDate d = CivilFromDays(day);
  const int64_t clock = minute - zone * 60 - day * 1440;
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02lld:%02lld", d.year, d.month, d.day,
                static_cast<long long>(FloorDiv(clock, 60)),
                static_cast<long long>(clock - FloorDiv(clock, 60) * 60));
  return text;
}

int Run(const Options& options) {
  if (options.phases) return RunPhases(options);
  std::vector<std::string> skipped;
  const std::vector<Series> series = ReadTableFolder(options.folder, &skipped);
  if (series.empty()) {
    std::cerr << "orbel_accuracy: no rise/set tables in " << options.folder << '\n';
    return 1;
  }
  if (options.twilight) return RunTwilight(options, series);

  std::vector<std::string> methods = {"Orbel"};
  std::vector<std::vector<std::vector<MethodEvent>>> events;  // [method][series]
  events.emplace_back();
  for (const Series& s : series) events.back().push_back(OrbelEvents(s));
#ifdef ORBEL_HAVE_LIBNOVA
  methods.push_back("libnova");
  events.emplace_back();
  for (const Series& s : series) events.back().push_back(LibnovaEvents(s));
#else
  std::cerr << "orbel_accuracy: built without libnova; its column is left out\n";
#endif
  if (options.pyephem) {
    std::string why;
    auto py = PyEphemEvents(series, options, &why);
    if (py) {
      methods.push_back("PyEphem");
      events.push_back(std::move(*py));
    } else {
      std::cerr << "orbel_accuracy: PyEphem left out: " << why << '\n';
    }
  }

  // comparisons[method][group], and per series for --by-table.
  std::vector<std::map<Group, Comparison>> total(methods.size());
  std::map<Group, int> listed;
  std::vector<std::vector<std::map<Kind, Comparison>>> perSeries(methods.size());
  for (size_t m = 0; m < methods.size(); ++m) {
    perSeries[m].resize(series.size());
    for (size_t i = 0; i < series.size(); ++i) {
      const Series& s = series[i];
      for (const Kind kind : {Kind::kRise, Kind::kSet}) {
        const Comparison c = Compare(s, kind, events[m][i], options.window);
        const Group g{s.body, kind, std::fabs(s.latitude) > kPolarCircle};
        Accumulate(total[m][g], c);
        perSeries[m][i][kind] = c;
      }
    }
  }

  std::cout << "Events matched within " << options.window
            << " minutes, then median / 95th percentile / maximum of the difference in "
               "minutes.\n\n";
  std::cout << "| Event | Latitudes | Listed |";
  for (const std::string& m : methods) std::cout << ' ' << m << " |";
  std::cout << "\n|---|---|---:|";
  for (size_t m = 0; m < methods.size(); ++m) std::cout << "---|";
  std::cout << '\n';
  for (const auto& entry : total[0]) {
    const Group& g = entry.first;
    std::cout << "| " << EventName(g.body, g.kind) << " | "
              << (g.polar ? "polar (beyond 66.6°)" : "up to 66.6°") << " | " << entry.second.listed
              << " |";
    for (size_t m = 0; m < methods.size(); ++m) std::cout << ' ' << SpreadCell(total[m][g]) << " |";
    std::cout << '\n';
  }

  std::cout << "\nDays compared, days on which the table lists no event, then per method: no "
               "event in either · an event the table does not list · no event where the table "
               "lists one.\n\n";
  std::cout << "| Event | Latitudes | Days | No event in table |";
  for (const std::string& m : methods) std::cout << ' ' << m << " |";
  std::cout << "\n|---|---|---:|---:|";
  for (size_t m = 0; m < methods.size(); ++m) std::cout << "---|";
  std::cout << '\n';
  for (const auto& entry : total[0]) {
    const Group& g = entry.first;
    const DayCounts& d = entry.second.days;
    std::cout << "| " << EventName(g.body, g.kind) << " | "
              << (g.polar ? "polar (beyond 66.6°)" : "up to 66.6°") << " | " << d.days << " | "
              << d.tableNone << " |";
    for (size_t m = 0; m < methods.size(); ++m) {
      std::cout << ' ' << DaysCell(total[m][g].days) << " |";
    }
    std::cout << '\n';
  }

  if (options.byTable) {
    std::cout << "\nPer table and place (matched: median / 95th percentile / maximum).\n\n";
    std::cout << "| Table | Event | Listed |";
    for (const std::string& m : methods) std::cout << ' ' << m << " |";
    std::cout << "\n|---|---|---:|";
    for (size_t m = 0; m < methods.size(); ++m) std::cout << "---|";
    std::cout << '\n';
    for (size_t i = 0; i < series.size(); ++i) {
      for (const Kind kind : {Kind::kRise, Kind::kSet}) {
        std::cout << "| " << series[i].name << " | " << EventName(series[i].body, kind) << " | "
                  << perSeries[0][i][kind].listed << " |";
        for (size_t m = 0; m < methods.size(); ++m) {
          std::cout << ' ' << SpreadCell(perSeries[m][i][kind]) << " |";
        }
        std::cout << '\n';
      }
    }
  }
  if (options.unmatched) {
    std::cout << "\nTable events our engine did not match, with its events of that day (local "
                 "clock of the table's zone).\n\n";
    for (size_t i = 0; i < series.size(); ++i) {
      for (const Kind kind : {Kind::kRise, Kind::kSet}) {
        for (const TableEvent& e : perSeries[0][i][kind].unmatched) {
          std::cout << "- " << series[i].name << ": " << EventName(series[i].body, kind) << ' '
                    << LocalText(e.day, e.minute, series[i].zone) << "; ours:";
          bool any = false;
          for (const MethodEvent& m : events[0][i]) {
            if (m.day != e.day) continue;
            std::cout << ' ' << (m.kind == Kind::kRise ? "rise " : "set ")
                      << LocalText(m.day, m.minute, series[i].zone);
            any = true;
          }
          std::cout << (any ? "\n" : " none\n");
        }
      }
    }
  }
  for (const std::string& name : skipped) {
    std::cerr << "orbel_accuracy: " << name << ": not a rise/set table, skipped\n";
  }
  return 0;
}

void Usage() {
  std::cerr << "usage: orbel_accuracy [FOLDER] [--window MINUTES] [--by-table] [--unmatched]\n"
               "                      [--python PATH] [--pyephem-helper PATH] [--no-pyephem]\n"
               "       orbel_accuracy [FOLDER] --twilight [--by-table] [--python PATH]\n"
               "                      [--pyephem-helper PATH]\n"
               "       orbel_accuracy [FOLDER] --phases [--python PATH] [--pyephem-phases PATH]\n"
               "FOLDER holds the tables; by default " ORBEL_ACCURACY_DATA "\n";
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--window" && hasValue) {
      options.window = std::atoi(argv[++i]);
    } else if (arg == "--by-table") {
      options.byTable = true;
    } else if (arg == "--unmatched") {
      options.unmatched = true;
    } else if (arg == "--python" && hasValue) {
      options.python = argv[++i];
    } else if (arg == "--pyephem-helper" && hasValue) {
      options.helper = argv[++i];
    } else if (arg == "--no-pyephem") {
      options.pyephem = false;
    } else if (arg == "--twilight") {
      options.twilight = true;
    } else if (arg == "--phases") {
      options.phases = true;
    } else if (arg == "--pyephem-phases" && hasValue) {
      options.phasesHelper = argv[++i];
    } else if (arg == "-h" || arg == "--help") {
      Usage();
      return 0;
    } else if (!arg.empty() && arg[0] != '-' && !options.folderGiven) {
      options.folder = arg;
      options.folderGiven = true;
    } else {
      Usage();
      return 2;
    }
  }
  if (options.window <= 0) {
    Usage();
    return 2;
  }
  try {
    return Run(options);
  } catch (const std::exception& e) {
    std::cerr << "orbel_accuracy: " << e.what() << '\n';
    return 1;
  }
}
