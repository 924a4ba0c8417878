#include "moon_events.h"

#include <cstdio>
#include <cstring>

#include "calendar.h"
#include "moon_position.h"
#include "portable_math.h"

namespace {

const double kTwoPi = 6.283185307179586;
const double kDegToRad = 0.017453292519943295;
const double kRadToDeg = 57.29577951308232;
const double kSiderealPerHour = 0.26251616834300473;
const double kHalfMinute = 0.008333333333333333;

// The module routes its trigonometry through these wrappers.
double Sin(double x) {
  return pmath::Sin(x);
}
double Cos(double x) {
  return pmath::Cos(x);
}
double Atan(double x) {
  return pmath::Atan(x);
}
double Sqrt(double x) {
  return pmath::Sqrt(x);
}

// Stored inputs, written by every query.
double latitude;
double longitude;  // degrees as passed; revolutions once a computation starts
int32_t zone;
uint32_t day, month, year;

// Slot into which the next solved crossing goes; persists between scans.
int32_t currentSlot;

TextBuffer statusText;
TextBuffer riseText;
TextBuffer setText;

EventSlot slots[2];  // 0: moonset, 1: moonrise
uint8_t riseFound;
uint8_t setFound;
double Q0, Q2;  // horizon margin at the start and end of the hour under test

double Margin(double H, double dec, double sinLat, double cosLat, double cosZenith) {
  return Cos(H) * (Cos(dec) * cosLat) + Sin(dec) * sinLat - cosZenith;
}

void TestHour(double theta0, double hour, double sinLat, double cosLat, double cosZenith,
              double ra0, double dec0, double ra1, double dec1) {
  const double thetaStart = theta0 + hour * kSiderealPerHour;
  const double thetaEnd = thetaStart + kSiderealPerHour;
  if (ra1 < ra0) ra1 = ra1 + kTwoPi;

  const double Hstart = thetaStart - ra0;
  const double Hend = thetaEnd - ra1;
  const double Hmid = (Hend + Hstart) / 2;
  const double decMid = (dec1 + dec0) / 2;

  if (hour <= 0) Q0 = Margin(Hstart, dec0, sinLat, cosLat, cosZenith);
  Q2 = Margin(Hend, dec1, sinLat, cosLat, cosZenith);

  if (Sign(Q0) == Sign(Q2)) return;
  // A margin of exactly zero (or NaN) at an hour boundary makes the signs differ
  // without a rise or a set; such an hour is skipped.
  const bool rising = Q0 < 0 && Q2 > 0;
  const bool setting = Q0 > 0 && Q2 < 0;
  if (!rising && !setting) return;

  const double Q1 = Margin(Hmid, decMid, sinLat, cosLat, cosZenith);
  const double a = 2 * Q2 - 4 * Q1 + 2 * Q0;
  const double b = 4 * Q1 - 3 * Q0 - Q2;
  const double discriminant = b * b - 4 * a * Q0;
  if (discriminant < 0) return;
  const double r = Sqrt(discriminant);

  if (rising) {
    currentSlot = 1;
    riseFound = 0xFF;
  } else {
    currentSlot = 0;
    setFound = 0xFF;
  }

  double e;
  if (a == 0) {
    e = -Q0 / b;  // the margin changes linearly over the hour
  } else {
    e = (-b + r) / (2 * a);
    if (e > 1 || e < 0) e = (-b - r) / (2 * a);
  }

  const double x = hour + e + kHalfMinute;
  const int32_t hourOut = TruncToInt(x);
  const int32_t minuteOut = TruncToInt((x - hourOut) * 60);

  const double Hm = Hstart + e * (Hend - Hstart);
  const double numerator = -Cos(decMid) * Sin(Hm);
  const double denominator = Sin(decMid) * cosLat - Cos(Hm) * (Cos(decMid) * sinLat);
  double Z;
  if (denominator == 0) {
    // The formula's limit instead of NaN.
    Z = numerator > 0 ? 90 : numerator < 0 ? 270 : 0;
  } else {
    Z = Atan(numerator / denominator) * kRadToDeg;
    if (denominator < 0) Z = Z + 180;
    if (Z < 0) Z = Z + 360;
    if (Z > 360) Z = Z - 360;
  }

  EventSlot& slot = slots[currentSlot];
  slot.hour = static_cast<int8_t>(hourOut);
  slot.minute = static_cast<int8_t>(minuteOut);
  slot.azimuth = Z;
}

void FinishMoonStatus() {
  slots[0].status = 0;
  slots[1].status = 0;
  if (riseFound == 0 && setFound == 0) {
    // No crossing at all: both slots report the same state of the whole day.
    const EventStatus status = Q2 > 0 ? kMoonUpAllDay : kMoonDownAllDay;
    slots[0].status = status;
    slots[1].status = status;
  } else {
    if (riseFound == 0) slots[1].status = kNoMoonrise;
    if (setFound == 0) slots[0].status = kNoMoonset;
  }
}

void ComputeMoonEvents() {
  longitude = longitude * (1.0 / 360);
  const double z = zone * (1.0 / 24);
  double dayNumber, dayFraction;
  JulianDay(day, month, year, dayNumber, dayFraction);
  const double d = dayNumber - 2451545 + dayFraction;
  const double theta0 = SiderealAngle(z, d, longitude);
  double T = d + z;

  // Local midnight, local noon and the following midnight.
  double ra0h, dec0h, dist0h, ra12h, dec12h, dist12h, ra24h, dec24h, dist24h;
  MoonPosition(T, ra0h, dec0h, dist0h);
  T = T + 0.5;
  MoonPosition(T, ra12h, dec12h, dist12h);
  T = T + 0.5;
  MoonPosition(T, ra24h, dec24h, dist24h);

  if (!(ra12h > ra0h)) ra12h = ra12h + kTwoPi;
  if (!(ra24h > ra12h)) ra24h = ra24h + kTwoPi;

  const double sinLat = Sin(latitude * kDegToRad);
  const double cosLat = Cos(latitude * kDegToRad);
  // Horizon circle from the noon distance: refraction, semi-diameter, parallax.
  const double cosZenith = Cos((90.567 - 41.685 / dist12h) * kDegToRad);

  riseFound = 0;
  setFound = 0;

  double ra0 = ra0h, dec0 = dec0h;
  for (double hour = 0.0; hour <= 23.0; hour = hour + 1.0) {
    const double p = (hour + 1) * (1.0 / 24);
    const double ra1 = Interpolate3(p, ra0h, ra12h, ra24h);
    const double dec1 = Interpolate3(p, dec0h, dec12h, dec24h);
    TestHour(theta0, hour, sinLat, cosLat, cosZenith, ra0, dec0, ra1, dec1);
    ra0 = ra1;
    dec0 = dec1;
    Q0 = Q2;
  }
  FinishMoonStatus();
}

const EventSlot& Compute(int slot, uint8_t d, uint8_t m, uint32_t y, double lat, double lon,
                         int8_t z) {
  latitude = lat;
  longitude = lon;
  zone = z;
  day = d;
  month = m;
  year = y;
  ComputeMoonEvents();
  return slots[slot];
}

int HourOf(const EventSlot& s) {
  return s.status != 0 ? s.status : s.hour;
}
int MinuteOf(const EventSlot& s) {
  return s.status != 0 ? s.status : s.minute;
}
double AzimuthOf(const EventSlot& s) {
  return s.status != 0 ? s.status : s.azimuth;
}

const char* FormatSlot(char* buffer, uint8_t d, uint8_t m, uint32_t y, double lat, double lon,
                       int8_t z, int slotIndex) {
  std::memset(buffer, 0, kTextBufferSize);
  const EventSlot& s = Compute(slotIndex, d, m, y, lat, lon, z);
  if (s.status != 0) {
    std::snprintf(buffer, kTextBufferSize, "%s", MoonStatusText(s.status));
  } else {
    std::snprintf(buffer, kTextBufferSize, "%02i:%02i", static_cast<int>(s.hour),
                  static_cast<int>(s.minute));
  }
  return buffer;
}

}  // namespace

double Interpolate3(double p, double y0, double y1, double y2) {
  const double d1 = y1 - y0;
  const double d2 = y2 - y1 - d1;
  return y0 + p * ((2 * p - 1) * d2 + 2 * d1);
}

const char* MoonStatusText(int code) {
  std::memset(statusText, 0, sizeof statusText);
  const char* message = nullptr;
  switch (code) {
    case kNoMoonrise:
      message = "NO MOONRISE THIS DATE";
      break;
    case kNoMoonset:
      message = "NO MOONSET THIS DATE";
      break;
    case kMoonDownAllDay:
      message = "MOON DOWN ALL DAY";
      break;
    case kMoonUpAllDay:
      message = "MOON UP ALL DAY";
      break;
    default:
      break;
  }
  if (message != nullptr) std::strcpy(statusText, message);
  return statusText;
}

int MoonriseHour(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return HourOf(Compute(1, d, m, y, lat, lon, z));
}
int MoonriseMinute(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return MinuteOf(Compute(1, d, m, y, lat, lon, z));
}
double MoonriseAzimuth(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return AzimuthOf(Compute(1, d, m, y, lat, lon, z));
}
int MoonsetHour(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return HourOf(Compute(0, d, m, y, lat, lon, z));
}
int MoonsetMinute(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return MinuteOf(Compute(0, d, m, y, lat, lon, z));
}
double MoonsetAzimuth(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return AzimuthOf(Compute(0, d, m, y, lat, lon, z));
}
const char* MoonriseText(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return FormatSlot(riseText, d, m, y, lat, lon, z, 1);
}
const char* MoonsetText(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return FormatSlot(setText, d, m, y, lat, lon, z, 0);
}
