#include "usno_tables.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <tuple>

#include "civil_days.h"

namespace orbel_bench {

namespace {

const char* const kMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

[[noreturn]] void Fail(const std::string& name, int line, const std::string& what) {
  throw TableError(name + (line > 0 ? ":" + std::to_string(line) : "") + ": " + what);
}

bool IsLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::vector<std::string> Lines(std::istream& in) {
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// An event at clock time hour:minute of a day of the series' zone.
TableEvent LocalEvent(Kind kind, int64_t day, int hour, int minute, int zone) {
  return {kind, day * 1440 + hour * 60 + minute + zone * 60, day};
}

// "Eastern Standard Time", "Universal Time", "Zone: 5h West of Greenwich" and
// "Time Zone:  8h 00m west of Greenwich" as hours added to the clock to give UT.
bool ParseZone(const std::string& line, int* zone) {
  static const std::map<std::string, int> kNamed = {{"universal time", 0},
                                                    {"atlantic standard time", 4},
                                                    {"eastern standard time", 5},
                                                    {"central standard time", 6},
                                                    {"mountain standard time", 7},
                                                    {"pacific standard time", 8},
                                                    {"alaska standard time", 9},
                                                    {"hawaii standard time", 10},
                                                    {"hawaii-aleutian standard time", 10}};
  std::string lower = Trim(line);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const auto named = kNamed.find(lower);
  if (named != kNamed.end()) {
    *zone = named->second;
    return true;
  }
  static const std::regex kOffset(
      R"re(zone:\s*(\d+)h(?:\s*(\d+)m)?\s+(west|east)\s+of\s+greenwich)re");
  std::smatch m;
  if (!std::regex_search(lower, m, kOffset)) return false;
  if (m[2].matched && std::stoi(m[2]) != 0) return false;  // whole hours only
  *zone = std::stoi(m[1]) * (m[3] == "west" ? 1 : -1);
  return true;
}

// Parses "hhmm" (year tables) or "hh:mm"; false for anything else.
bool ParseClock(const std::string& text, int* hour, int* minute) {
  std::string digits;
  for (char c : text) {
    if (c != ':') digits += c;
  }
  if (digits.size() != 4 || !std::all_of(digits.begin(), digits.end(),
                                         [](unsigned char c) { return std::isdigit(c) != 0; })) {
    return false;
  }
  *hour = std::stoi(digits.substr(0, 2));
  *minute = std::stoi(digits.substr(2, 2));
  return *hour <= 24 && *minute <= 59;
}

}  // namespace

std::vector<Series> ReadUtcEventList(std::istream& in, const std::string& name) {
  static const std::regex kLine(
      R"re(^\s*(Sun|Moon)\s+(-?\d+(?:\.\d+)?)\s+(-?\d+(?:\.\d+)?)\s+(\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d)Z\s+([rs])\s*$)re");
  std::vector<Series> series;
  std::map<std::tuple<int, double, double>, size_t> index;
  std::map<size_t, std::pair<int, int>> years;  // series -> first and last year
  int number = 0;
  for (const std::string& line : Lines(in)) {
    ++number;
    if (Trim(line).empty()) continue;
    std::smatch m;
    if (!std::regex_match(line, m, kLine)) Fail(name, number, "not \"Body lon lat time r|s\"");
    const Body body = m[1] == "Sun" ? Body::kSun : Body::kMoon;
    const double lon = std::stod(m[2]), lat = std::stod(m[3]);
    const int year = std::stoi(m[4]), month = std::stoi(m[5]), day = std::stoi(m[6]);
    const int hour = std::stoi(m[7]), minute = std::stoi(m[8]);
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59) {
      Fail(name, number, "no such time");
    }
    const auto key = std::make_tuple(static_cast<int>(body), lon, lat);
    auto found = index.find(key);
    if (found == index.end()) {
      std::ostringstream label;
      label << name << " " << (body == Body::kSun ? "Sun" : "Moon") << " " << lat << " " << lon;
      found = index.emplace(key, series.size()).first;
      series.push_back(Series{label.str(), body, lat, lon, 0, 0, 0, {}});
      years[found->second] = {year, year};
    }
    Series& s = series[found->second];
    auto& span = years[found->second];
    span.first = std::min(span.first, year);
    span.second = std::max(span.second, year);
    const int64_t d = DaysFromCivil(year, month, day);
    s.events.push_back(LocalEvent(m[9] == "r" ? Kind::kRise : Kind::kSet, d, hour, minute, 0));
  }
  for (size_t i = 0; i < series.size(); ++i) {
    series[i].firstDay = DaysFromCivil(years[i].first, 1, 1);
    series[i].lastDay = DaysFromCivil(years[i].second, 12, 31);
  }
  return series;
}

Series ReadUsnoYearTable(std::istream& in, const std::string& name) {
  static const std::regex kLocation(
      R"re(Location:\s*([EW])(\d{1,3})\s+(\d\d),\s*([NS])(\d{1,2})\s+(\d\d))re");
  static const std::regex kTitle(R"re(Rise and Set for the (Sun|Moon) for (\d{4}))re");
  Series s{name, Body::kSun, 0, 0, 0, 0, 0, {}};
  bool haveLocation = false, haveTitle = false, haveZone = false;
  int year = 0;
  int number = 0;
  std::map<int, int> rowsSeen;
  for (const std::string& line : Lines(in)) {
    ++number;
    std::smatch m;
    if (std::regex_search(line, m, kLocation)) {
      s.longitude = (std::stoi(m[2]) + std::stoi(m[3]) / 60.0) * (m[1] == "W" ? -1 : 1);
      s.latitude = (std::stoi(m[5]) + std::stoi(m[6]) / 60.0) * (m[4] == "S" ? -1 : 1);
      haveLocation = true;
    }
    if (std::regex_search(line, m, kTitle)) {
      s.body = m[1] == "Sun" ? Body::kSun : Body::kMoon;
      year = std::stoi(m[2]);
      haveTitle = true;
    }
    if (!haveZone && ParseZone(line, &s.zone)) haveZone = true;

    // Day rows: "dd  hhmm hhmm  hhmm hhmm ..." with fixed columns per month.
    if (line.size() < 2 || !std::isdigit(static_cast<unsigned char>(line[0])) ||
        !std::isdigit(static_cast<unsigned char>(line[1])) || (line.size() > 2 && line[2] != ' ')) {
      continue;
    }
    if (!haveTitle || !haveLocation || !haveZone) {
      Fail(name, number, "day row before the place, body, year and zone");
    }
    const int dayOfMonth = std::stoi(line.substr(0, 2));
    if (dayOfMonth < 1 || dayOfMonth > 31 || rowsSeen[dayOfMonth]++ > 0) {
      Fail(name, number, "bad or repeated day " + line.substr(0, 2));
    }
    for (int month = 1; month <= 12; ++month) {
      for (const Kind kind : {Kind::kRise, Kind::kSet}) {
        const size_t column = 4 + 11 * (month - 1) + (kind == Kind::kSet ? 5 : 0);
        const std::string field = column < line.size() ? line.substr(column, 4) : "";
        if (Trim(field).empty()) continue;
        int hour = 0, minute = 0;
        if (!ParseClock(field, &hour, &minute)) Fail(name, number, "bad time \"" + field + "\"");
        if (dayOfMonth > DaysInMonth(year, month)) {
          Fail(name, number, "a time on a day the month does not have");
        }
        s.events.push_back(
            LocalEvent(kind, DaysFromCivil(year, month, dayOfMonth), hour, minute, s.zone));
      }
    }
  }
  if (!haveTitle || !haveLocation || !haveZone) Fail(name, 0, "no place, body, year or zone");
  if (rowsSeen.size() != 31) Fail(name, 0, "not 31 day rows");
  std::sort(s.events.begin(), s.events.end(),
            [](const TableEvent& a, const TableEvent& b) { return a.minute < b.minute; });
  s.firstDay = DaysFromCivil(year, 1, 1);
  s.lastDay = DaysFromCivil(year, 12, 31);
  return s;
}

Series ReadUsnoRiseTransitSet(std::istream& in, const std::string& name) {
  static const std::regex kLocation(
      R"re(Location:\s*([EW])(\d{1,3})\D+(\d\d)'(\d\d(?:\.\d+)?)",\s*([NS])(\d{1,2})\D+(\d\d)'(\d\d(?:\.\d+)?)")re");
  static const std::regex kRow(R"re(^(\d{4}) ([A-Z][a-z]{2}) (\d\d) \([A-Z][a-z]{2}\))re");
  static const std::regex kField(R"re(\d\d:\d\d|\*{5}|-{5})re");
  Series s{name, Body::kSun, 0, 0, 0, 0, 0, {}};
  bool haveBody = false, haveLocation = false, haveZone = false;
  size_t riseColumn = std::string::npos, setColumn = std::string::npos;
  int number = 0;
  bool anyRow = false;
  for (const std::string& line : Lines(in)) {
    ++number;
    const std::string text = Trim(line);
    std::smatch m;
    if (!haveBody && (text == "Sun" || text == "Moon")) {
      s.body = text == "Sun" ? Body::kSun : Body::kMoon;
      haveBody = true;
    }
    if (std::regex_search(line, m, kLocation)) {
      s.longitude = (std::stoi(m[2]) + std::stoi(m[3]) / 60.0 + std::stod(m[4]) / 3600) *
                    (m[1] == "W" ? -1 : 1);
      s.latitude = (std::stoi(m[6]) + std::stoi(m[7]) / 60.0 + std::stod(m[8]) / 3600) *
                   (m[5] == "S" ? -1 : 1);
      haveLocation = true;
    }
    if (!haveZone && ParseZone(line, &s.zone)) haveZone = true;
    if (riseColumn == std::string::npos && line.find("Rise") != std::string::npos &&
        line.find("Set") != std::string::npos) {
      riseColumn = line.find("Rise");
      setColumn = line.find("Set");
    }
    if (!std::regex_search(line, m, kRow)) continue;
    if (!haveBody || !haveLocation || !haveZone || riseColumn == std::string::npos) {
      Fail(name, number, "date row before the body, place, zone and column header");
    }
    const int year = std::stoi(m[1]);
    const int month =
        static_cast<int>(std::find(std::begin(kMonthNames), std::end(kMonthNames), m[2].str()) -
                         std::begin(kMonthNames)) +
        1;
    const int dayOfMonth = std::stoi(m[3]);
    if (month > 12 || dayOfMonth < 1 || dayOfMonth > DaysInMonth(year, month)) {
      Fail(name, number, "no such date");
    }
    const int64_t day = DaysFromCivil(year, month, dayOfMonth);
    if (!anyRow || day < s.firstDay) s.firstDay = day;
    if (!anyRow || day > s.lastDay) s.lastDay = day;
    anyRow = true;
    // The time sits under its header word, give or take the width of "hh:mm".
    for (const Kind kind : {Kind::kRise, Kind::kSet}) {
      const size_t column = kind == Kind::kRise ? riseColumn : setColumn;
      const size_t from = column >= 3 ? column - 3 : 0;
      const std::string window = from < line.size() ? line.substr(from, 8) : "";
      std::smatch f;
      if (!std::regex_search(window, f, kField)) {
        if (!Trim(window).empty()) Fail(name, number, "bad field \"" + window + "\"");
        continue;
      }
      int hour = 0, minute = 0;
      if (!ParseClock(f.str(), &hour, &minute)) continue;  // ***** or -----: none that day
      s.events.push_back(LocalEvent(kind, day, hour, minute, s.zone));
    }
  }
  if (!anyRow) Fail(name, 0, "no date rows");
  return s;
}

std::vector<PublishedPhase> ReadPhaseList(std::istream& in, const std::string& name) {
  static const std::regex kLine(
      R"re(^\s*([0-3])\s+(-?\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d(?:\.\d+)?)Z\s*$)re");
  std::vector<PublishedPhase> phases;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (Trim(line).empty()) continue;
    std::smatch m;
    if (!std::regex_match(line, m, kLine)) Fail(name, number, "not \"Q YYYY-MM-DDTHH:MM:SSZ\"");
    const int year = std::stoi(m[2]), month = std::stoi(m[3]), day = std::stoi(m[4]);
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) {
      Fail(name, number, "no such date");
    }
    const double seconds = std::stoi(m[5]) * 3600.0 + std::stoi(m[6]) * 60.0 + std::stod(m[7]);
    phases.push_back({std::stoi(m[1]), static_cast<double>(DaysFromCivil(year, month, day)) - 0.5 +
                                           seconds / 86400});
  }
  return phases;
}

std::vector<Series> ReadTableFolder(const std::string& folder, std::vector<std::string>* skipped) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file() && entry.path().extension() == ".txt")
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<Series> all;
  for (const std::filesystem::path& path : files) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream buffer;
    buffer << file.rdbuf();
    const std::string text = buffer.str();
    const std::string name = path.filename().string();
    std::istringstream in(text);
    static const std::regex kUtcList(R"re(^\s*(Sun|Moon)\s+-?\d)re");
    if (text.find("Rise and Set for the") != std::string::npos) {
      all.push_back(ReadUsnoYearTable(in, name));
    } else if (text.find("Transit") != std::string::npos &&
               text.find("Time Zone:") != std::string::npos) {
      all.push_back(ReadUsnoRiseTransitSet(in, name));
    } else if (std::regex_search(text, kUtcList)) {
      for (Series& s : ReadUtcEventList(in, name)) all.push_back(std::move(s));
    } else if (skipped != nullptr) {
      skipped->push_back(name);
    }
  }
  return all;
}

}  // namespace orbel_bench
