#include "moon_events.h"

#include <cstring>

#include "event_storage.h"
#include "moon_position.h"
#include "portable_math.h"

namespace {

const double kTwoPi = 6.283185307179586;
const double kDegToRad = 0.017453292519943295;

const StatusCodes kMoonCodes = {kNoMoonrise, kNoMoonset, kMoonDownAllDay, kMoonUpAllDay};

// The query functions' module storage: the inputs of the last query, the two
// slots (0 moonset, 1 moonrise) and what the last scan left, and the texts.
EventModuleStorage storage;

// Stores the query's inputs, scans the day and keeps its results in the slots.
const EventSlot& Compute(int slot, uint8_t d, uint8_t m, uint32_t y, double lat, double lon,
                         int8_t z) {
  StoreQuery(storage, d, m, y, lat, lon, z);
  KeepDay(storage, MoonDay(StoredQuery(storage)), 1, 0);
  return storage.slots[slot];
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

BodyDay MoonDay(const DayQuery& query) {
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

  // Horizon circle from the noon distance: refraction, semi-diameter, parallax.
  const double cosZenith = pmath::Cos((90.567 - 41.685 / dist12h) * kDegToRad);
  BodyDay day;
  HorizonScan scan = BeginScan(day, start, query.latitude, cosZenith, false);
  double ra0 = ra0h, dec0 = dec0h;
  for (double hour = 0.0; hour <= 23.0; hour = hour + 1.0) {
    const double p = (hour + 1) * (1.0 / 24);
    const double ra1 = Interpolate3(p, ra0h, ra12h, ra24h);
    const double dec1 = Interpolate3(p, dec0h, dec12h, dec24h);
    // Within the hour the end must not lie below the start; the next hour
    // starts from the value as interpolated.
    TestHour(scan, hour, ra0, dec0, ra1 < ra0 ? ra1 + kTwoPi : ra1, dec1);
    ra0 = ra1;
    dec0 = dec1;
  }
  FinishStatus(scan, kMoonCodes);
  return day;
}

const char* MoonStatusMessage(int code) {
  switch (code) {
    case kNoMoonrise:
      return "NO MOONRISE THIS DATE";
    case kNoMoonset:
      return "NO MOONSET THIS DATE";
    case kMoonDownAllDay:
      return "MOON DOWN ALL DAY";
    case kMoonUpAllDay:
      return "MOON UP ALL DAY";
    default:
      return "";
  }
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
