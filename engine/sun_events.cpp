#include "sun_events.h"

#include <cstring>

#include "calendar.h"
#include "event_storage.h"
#include "portable_math.h"

namespace {

const double kTwoPi = 6.283185307179586;
const double kDegToRad = 0.017453292519943295;

const BodyRules kSunRules = {
    {kNoSunrise, kNoSunset, kSunDownAllDay, kSunUpAllDay},
    {"NO SUNRISE", "NO SUNSET THIS DATE", "SUN DOWN ALL DAY", "SUN UP ALL DAY"},
    true,
    false};

// The query functions' module storage: the inputs of the last query, the two
// slots (0 sunrise, 1 sunset) and what the last scan left, and the texts.
EventModuleStorage storage;

// Stores the query's inputs, scans the day and keeps its results in the slots.
const EventSlot& Compute(int slot, uint8_t d, uint8_t m, uint32_t y, double lat, double lon,
                         int8_t z) {
  return KeepDay(storage, SunDay(StoreQuery(storage, d, m, y, lat, lon, z)), 0, 1, slot);
}

const char* FormatSlot(char (&buffer)[kTextBufferSize], int slot, uint8_t d, uint8_t m, uint32_t y,
                       double lat, double lon, int8_t z) {
  FormatEventText(Compute(slot, d, m, y, lat, lon, z), SunStatusText, buffer);
  return buffer;
}

}  // namespace

void SunPosition(double d, double& rightAscension, double& declination) {
  const double T = d / 36525 + 1;
  double L = 0.779072 + 0.002737909311111111 * d;
  double G = 0.993126 + 0.0027377785555555557 * d;
  L = (L - TruncToInt(L)) * kTwoPi;
  G = (G - TruncToInt(G)) * kTwoPi;

  double V = 0.39785 * pmath::Sin(L);
  V = V - 0.01 * pmath::Sin(L - G);
  V = V + 0.00333 * pmath::Sin(L + G);
  V = V - 0.00021 * T * pmath::Sin(L);

  double U = 1;
  U = U - 0.03349 * pmath::Cos(G);
  U = U - 0.00014 * pmath::Cos(2 * L);
  U = U + 0.00008 * pmath::Cos(L);

  double W = -0.0001;
  W = W - 0.04129 * pmath::Sin(2 * L);
  W = W + 0.03211 * pmath::Sin(G);
  W = W + 0.00104 * pmath::Sin(2 * L - G);
  W = W - 0.00035 * pmath::Sin(2 * L + G);
  W = W - 0.00008 * T * pmath::Sin(G);

  const double S = W / pmath::Sqrt(U - V * V);
  rightAscension = L + pmath::ArcSin(S);
  const double s = V / pmath::Sqrt(U);
  declination = pmath::ArcSin(s);
}

BodyDay SunDay(const DayQuery& query, double zenithDistance) {
  const DayStart start = StartOfDay(query);

  // The sun at the two local midnights, linear in between.
  double ra0, dec0, ra1, dec1;
  SunPosition(start.midnight, ra0, dec0);
  SunPosition(start.midnight + 1, ra1, dec1);
  if (ra1 < ra0) ra1 = ra1 + kTwoPi;  // the right ascension passed through 0
  HourlyPositions positions;
  positions.rightAscension[0] = ra0;
  positions.declination[0] = dec0;
  for (int i = 1; i <= 24; ++i) {
    const double p = i * (1.0 / 24);
    positions.rightAscension[i] = ra0 + p * (ra1 - ra0);
    positions.declination[i] = dec0 + p * (dec1 - dec0);
  }
  return ScanDay(start, query.latitude, pmath::Cos(zenithDistance * kDegToRad), positions,
                 kSunRules);
}

const char* SunStatusMessage(int code) {
  return StatusMessage(kSunRules, code);
}

const char* SunStatusText(int code) {
  std::memset(storage.statusText, 0, kTextBufferSize);
  std::strcpy(storage.statusText, SunStatusMessage(code));
  return storage.statusText;
}

int SunriseHour(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return HourOrStatus(Compute(0, d, m, y, lat, lon, z));
}
int SunriseMinute(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return MinuteOrStatus(Compute(0, d, m, y, lat, lon, z));
}
double SunriseAzimuth(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return AzimuthOrStatus(Compute(0, d, m, y, lat, lon, z));
}
int SunsetHour(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return HourOrStatus(Compute(1, d, m, y, lat, lon, z));
}
int SunsetMinute(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return MinuteOrStatus(Compute(1, d, m, y, lat, lon, z));
}
double SunsetAzimuth(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return AzimuthOrStatus(Compute(1, d, m, y, lat, lon, z));
}
const char* SunriseText(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return FormatSlot(storage.riseText, 0, d, m, y, lat, lon, z);
}
const char* SunsetText(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return FormatSlot(storage.setText, 1, d, m, y, lat, lon, z);
}
