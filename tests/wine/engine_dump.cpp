// Prints the engine's answers to a fixed list of queries, one line each: the
// query, then its 17 results tab-separated in the order of `orbel-cli batch`
// (sunrise hour, minute, azimuth, text; the same for sunset, moonrise and
// moonset; the moon's age), azimuths as %.17g.
//
// The Wine tests run this program built for Linux and built for Windows and
// compare the two outputs byte for byte: any difference in a result, down to
// the last bit of an azimuth, shows up as a differing line.
#if defined(__MINGW32__)
#define __USE_MINGW_ANSI_STDIO 1  // MinGW's own C99 printf, not msvcrt's
#endif

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "event_types.h"
#include "moon_age.h"
#include "moon_events.h"
#include "sun_events.h"

namespace {

// Places in the engine's convention: north and east positive; some southern
// and western ones as 360 - value, which the engine also accepts.
struct Place {
  double latitude, longitude;
  int8_t zone;
};

const Place kPlaces[] = {
    {48.7433, 9.3075, -1},  // mid-latitude, Central European time
    {0.0, 0.0, 0},          // equator, Greenwich
    {66.0, 20.0, -1},       // near the Arctic Circle: midnight sun, polar night
    {78.22, 15.65, -1},     // Svalbard
    {-33.87, 151.21, -10},  // Sydney
    {326.13, 151.21, -10},  // Sydney again, latitude as 360 - value
    {40.71, 285.99, 5},     // New York, longitude as 360 - value
    {-77.85, 166.67, -12},  // McMurdo: long polar day and night
    {35.68, 139.69, -9},    // Tokyo
    {19.43, -99.13, 6},     // Mexico City, negative longitude
};

// Dates where the calendar or the events change character.
const EventQuery kSpecialDates[] = {
    {4, 10, 1582, 48.7433, 9.3075, -1},   // last Julian day
    {15, 10, 1582, 48.7433, 9.3075, -1},  // first Gregorian day
    {29, 2, 1600, 48.7433, 9.3075, -1},   // Gregorian leap century
    {1, 3, 1900, 48.7433, 9.3075, -1},    // no leap day in 1900
    {29, 2, 2000, 48.7433, 9.3075, -1},   // leap day in 2000
    {1, 1, 1, 48.7433, 9.3075, -1},       // year 1
    {31, 12, 9999, 48.7433, 9.3075, -1},  // far future
    {1, 1, 4294967295u, 0.0, 0.0, 0},     // largest year
    {0, 0, 2024, 48.7433, 9.3075, -1},    // day and month 0, not rejected
    {32, 13, 2024, 48.7433, 9.3075, -1},  // day and month past their range
    {14, 12, 1999, 48.7333, 9.3, -1},     // worked example of the engine tests
    {21, 6, 2024, 89.9, 0.0, 0},          // near the pole
    {21, 12, 2024, -89.9, 0.0, 0},       {21, 3, 2024, 48.7433, 9.3075, -128},  // extreme zones
    {21, 3, 2024, 48.7433, 9.3075, 127}, {21, 3, 2024, 48.7433, 9.3075, 14},
    {21, 3, 2024, 1000.0, 9.3075, -1},  // latitude and longitude far out of range
    {21, 3, 2024, 48.7433, -1000.0, -1},
};

std::vector<EventQuery> Queries() {
  std::vector<EventQuery> queries(std::begin(kSpecialDates), std::end(kSpecialDates));
  // Every third day through a leap year and two other years, at every place.
  const uint32_t kYears[] = {1950, 2024, 2100};
  for (uint32_t year : kYears) {
    for (uint8_t month = 1; month <= 12; ++month) {
      for (uint8_t day = 1; day <= 28; day += 3) {
        for (const Place& p : kPlaces) {
          queries.push_back({day, month, year, p.latitude, p.longitude, p.zone});
        }
      }
    }
  }
  return queries;
}

void PrintInt(int value) {
  std::printf("\t%d", value);
}

void PrintAzimuth(double value) {
  if (std::isfinite(value)) {
    std::printf("\t%.17g", value);
  } else {
    // printf spells infinities and NaNs differently on each platform; the
    // bits do not.
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    std::printf("\tbits:%016llx", static_cast<unsigned long long>(bits));
  }
}

void PrintText(const char* text) {
  std::printf("\t%s", text);
}

void PrintResults(const EventQuery& q) {
  const uint8_t d = q.day, m = q.month;
  const uint32_t y = q.year;
  const double lat = q.latitude, lon = q.longitude;
  const int8_t z = q.zone;
  std::printf("%u %u %lu %.17g %.17g %d", d, m, static_cast<unsigned long>(y), lat, lon, z);
  PrintInt(SunriseHour(d, m, y, lat, lon, z));
  PrintInt(SunriseMinute(d, m, y, lat, lon, z));
  PrintAzimuth(SunriseAzimuth(d, m, y, lat, lon, z));
  PrintText(SunriseText(d, m, y, lat, lon, z));
  PrintInt(SunsetHour(d, m, y, lat, lon, z));
  PrintInt(SunsetMinute(d, m, y, lat, lon, z));
  PrintAzimuth(SunsetAzimuth(d, m, y, lat, lon, z));
  PrintText(SunsetText(d, m, y, lat, lon, z));
  PrintInt(MoonriseHour(d, m, y, lat, lon, z));
  PrintInt(MoonriseMinute(d, m, y, lat, lon, z));
  PrintAzimuth(MoonriseAzimuth(d, m, y, lat, lon, z));
  PrintText(MoonriseText(d, m, y, lat, lon, z));
  PrintInt(MoonsetHour(d, m, y, lat, lon, z));
  PrintInt(MoonsetMinute(d, m, y, lat, lon, z));
  PrintAzimuth(MoonsetAzimuth(d, m, y, lat, lon, z));
  PrintText(MoonsetText(d, m, y, lat, lon, z));
  PrintInt(MoonAge(d, m, y));
  std::printf("\n");
}

}  // namespace

int main() {
#if defined(_WIN32)
  // "\n" stays one byte, as on Linux.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  for (const EventQuery& q : Queries()) PrintResults(q);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
