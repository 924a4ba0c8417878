#include "moon_events.h"

#include <cstring>

#include "event_storage.h"
#include "moon_position.h"
#include "portable_math.h"

namespace {

const double kTwoPi = 6.283185307179586;
const double kDegToRad = 0.017453292519943295;

const BodyRules kMoonRules = {
    {kNoMoonrise, kNoMoonset, kMoonDownAllDay, kMoonUpAllDay},
    {"NO MOONRISE THIS DATE", "NO MOONSET THIS DATE", "MOON DOWN ALL DAY", "MOON UP ALL DAY"},
    false,
    true};

// The query functions' module storage: the inputs of the last query, the two
// slots (0 moonset, 1 moonrise) and what the last scan left, and the texts.
EventModuleStorage storage;

// Stores the query's inputs, scans the day and keeps its results in the slots.
const EventSlot& Compute(int slot, uint8_t d, uint8_t m, uint32_t y, double lat, double lon,
                         int8_t z) {
  return KeepDay(storage, MoonDay(StoreQuery(storage, d, m, y, lat, lon, z)), 1, 0, slot);
}

const char* FormatSlot(char (&buffer)[kTextBufferSize], int slot, uint8_t d, uint8_t m, uint32_t y,
                       double lat, double lon, int8_t z) {
  FormatEventText(Compute(slot, d, m, y, lat, lon, z), MoonStatusText, buffer);
  return buffer;
}

}  // namespace

double Interpolate3(double p, double y0, double y1, double y2) {
  const double d1 = y1 - y0;
  const double d2 = y2 - y1 - d1;
  return y0 + p * ((2 * p - 1) * d2 + 2 * d1);
}

namespace {

// The scan against the circle given by the moon's noon distance (earth radii).
BodyDay ScanMoon(const DayQuery& query, double (*zenithDistance)(double distance, double altitude),
                 double altitude) {
  const DayStart start = StartOfDay(query);

  // Local midnight, local noon and the following midnight; quadratic in between.
  double T = start.midnight;
  double ra0h, dec0h, dist0h, ra12h, dec12h, dist12h, ra24h, dec24h, dist24h;
  MoonPosition(T, ra0h, dec0h, dist0h);
  T = T + 0.5;
  MoonPosition(T, ra12h, dec12h, dist12h);
  T = T + 0.5;
  MoonPosition(T, ra24h, dec24h, dist24h);
  // The right ascension drops by a turn when the mean longitude passes a whole
  // revolution; each sample must lie above the one before it.
  if (!(ra12h > ra0h)) ra12h = ra12h + kTwoPi;
  if (!(ra24h > ra12h)) ra24h = ra24h + kTwoPi;

  HourlyPositions positions;
  positions.rightAscension[0] = ra0h;
  positions.declination[0] = dec0h;
  for (int i = 1; i <= 24; ++i) {
    const double p = i * (1.0 / 24);
    positions.rightAscension[i] = Interpolate3(p, ra0h, ra12h, ra24h);
    positions.declination[i] = Interpolate3(p, dec0h, dec12h, dec24h);
  }
  const double cosZenith = pmath::Cos(zenithDistance(dist12h, altitude) * kDegToRad);
  return ScanDay(start, query.latitude, cosZenith, positions, kMoonRules);
}

// The horizon circle from the noon distance: refraction, semi-diameter, parallax.
double HorizonZenithDistance(double distance, double) {
  return 90.567 - 41.685 / distance;
}

// The geocentric zenith distance z of the circle seen from the surface at the
// zenith distance z' = 90 - altitude: sin(z' - z) = sin z' / distance.
double TopocentricZenithDistance(double distance, double altitude) {
  return 90 - altitude - pmath::ArcSin(pmath::Cos(altitude * kDegToRad) / distance) / kDegToRad;
}

}  // namespace

BodyDay MoonDay(const DayQuery& query) {
  return ScanMoon(query, HorizonZenithDistance, 0);
}

BodyDay MoonDayAtAltitude(const DayQuery& query, double altitude) {
  return ScanMoon(query, TopocentricZenithDistance, altitude);
}

const char* MoonStatusMessage(int code) {
  return StatusMessage(kMoonRules, code);
}

const char* MoonStatusText(int code) {
  std::memset(storage.statusText, 0, kTextBufferSize);
  std::strcpy(storage.statusText, MoonStatusMessage(code));
  return storage.statusText;
}

int MoonriseHour(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return HourOrStatus(Compute(1, d, m, y, lat, lon, z));
}
int MoonriseMinute(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return MinuteOrStatus(Compute(1, d, m, y, lat, lon, z));
}
double MoonriseAzimuth(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return AzimuthOrStatus(Compute(1, d, m, y, lat, lon, z));
}
int MoonsetHour(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return HourOrStatus(Compute(0, d, m, y, lat, lon, z));
}
int MoonsetMinute(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return MinuteOrStatus(Compute(0, d, m, y, lat, lon, z));
}
double MoonsetAzimuth(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return AzimuthOrStatus(Compute(0, d, m, y, lat, lon, z));
}
const char* MoonriseText(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return FormatSlot(storage.riseText, 1, d, m, y, lat, lon, z);
}
const char* MoonsetText(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return FormatSlot(storage.setText, 0, d, m, y, lat, lon, z);
}
