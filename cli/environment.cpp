#include "environment.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <time.h>
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

void GuardStandardStreams() {
#ifndef _WIN32
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);  // takes the lowest free descriptor, fd
    }
  }
#endif
}

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
  // Seconds and nanoseconds as the system keeps them: std::chrono's system
  // clock counts nanoseconds in 64 bits, which end in 2262.
#ifdef _WIN32
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const int64_t ticks = static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) |
                                             now.dwLowDateTime);  // 100 ns since 1601
  constexpr int64_t kTicksOf1970 = 116444736000000000;
  return static_cast<double>((ticks - kTicksOf1970) / 10000000) +
         static_cast<double>((ticks - kTicksOf1970) % 10000000) / 1e7;
#else
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
#endif
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
