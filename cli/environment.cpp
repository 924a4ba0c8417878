#include "environment.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "error.h"
#include "options.h"

namespace orbel {

namespace {

#ifndef _WIN32
// The system zone's name: what /etc/localtime links to below a zoneinfo
// folder, else /etc/timezone.
std::string SystemZoneName() {
  char target[4096];
  const ssize_t n = readlink("/etc/localtime", target, sizeof target - 1);
  if (n > 0) {
    const std::string link(target, static_cast<size_t>(n));
    const size_t at = link.find("zoneinfo/");
    if (at != std::string::npos) return link.substr(at + 9);
  }
  std::ifstream file("/etc/timezone");
  std::string name;
  if (std::getline(file, name) && !name.empty()) return name;
  return "system zone";
}
#endif

}  // namespace

Zone SystemZoneOfEnvironment() {
#ifdef _WIN32
  // Windows keeps its zone in the system settings; TZ is the C runtime's.
  return SystemZone("system zone");
#else
  if (const char* tz = std::getenv("TZ")) return ParseOption("TZ", tz, ZoneOfTz);
  return SystemZone(SystemZoneName());
#endif
}

std::vector<City> DatabaseCities() {
  if (!HaveZoneDatabase()) {
    throw InputError(
        "this build has no time zone database, whose cities --place names; give --lat and --lon");
  }
  const std::string path = ZoneDatabaseDir() + "/zone1970.tab";
  std::ifstream file(path);
  std::vector<City> cities = ReadCities(file);
  if (cities.empty()) throw InputError("cannot read the list of cities " + path);
  return cities;
}

double WallClock() {
  return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

Instant Now() {
  return static_cast<Instant>(std::floor(WallClock()));
}

Date Today(const Zone& zone) {
  return LocalDate(zone, Now());
}

void SleepUntil(Instant moment) {
  for (double now = WallClock(); now < moment; now = WallClock()) {
    const double step = std::min(5.0, static_cast<double>(moment) - now);
    std::this_thread::sleep_for(std::chrono::duration<double>(step));
  }
}

}  // namespace orbel
