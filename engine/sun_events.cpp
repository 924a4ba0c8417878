#include "sun_events.h"

#include "portable_math.h"
#include <cstdio>
#include <cstring>

#include "calendar.h"

namespace {

const double kTwoPi = 6.283185307179586;
const double kDegToRad = 0.017453292519943295;
const double kRadToDeg = 57.29577951308232;
// Sidereal angle gained in one hour of clock time (15.0410685 degrees).
const double kSiderealPerHour = 0.26251616834300473;
// Zenith distance of the rise/set circle: 90.833 degrees (refraction and the
// sun's radius).
const double kZenithDistance = 1.5853349194640094;
const double kHalfMinute = 0.008333333333333333;

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

EventSlot slots[2];  // 0: sunrise, 1: sunset
uint8_t riseFound;
uint8_t setFound;
double Q0, Q2;  // horizon margin at the start and end of the hour under test

double ArcSin(double x) {
  return pmath::Atan(x / pmath::Sqrt(1 - x * x));
}

double HorizonMargin(double declination, double sinLat, double cosLat, double hourAngle,
                     double c0) {
  return pmath::Sin(declination) * sinLat +
         pmath::Cos(declination) * cosLat * pmath::Cos(hourAngle) - c0;
}

// Azimuth in degrees from north through east. A zero denominator gives the
// formula's limit instead of NaN.
double Azimuth(double numerator, double denominator) {
  if (denominator == 0) {
    if (numerator > 0) return 90;
    if (numerator < 0) return 270;
    return 0;
  }
  double A = pmath::Atan(numerator / denominator) * kRadToDeg;
  if (denominator < 0) A = A + 180;
  if (A < 0) A = A + 360;
  if (A > 360) A = A - 360;
  return A;
}

// Root in [0, 1] of the quadratic a t^2 + b t + q0 with discriminant root r.
double SolveCrossing(double a, double b, double r, double q0) {
  if (a == 0) return -q0 / b;  // the margin changes linearly over the hour
  double t = (-b + r) / (2 * a);
  if (t > 1 || t < 0) t = (-b - r) / (2 * a);
  return t;
}

// The horizon circle and the latitude's sine and cosine. They are the same for
// every hour of a scan, so they are formed once per scan; the values are the
// same bits as forming them in each hour.
double c0, sinLat, cosLat;

void TestHour(double h, double theta0, double dec2, double ra2, double ra0, double dec0) {
  const double theta = h * kSiderealPerHour + theta0;
  const double theta2 = theta + kSiderealPerHour;

  const double H0 = theta - ra0;
  const double H2 = theta2 - ra2;
  const double H1 = (H2 + H0) * 0.5;
  const double dec1 = (dec2 + dec0) * 0.5;

  if (h <= 0) Q0 = HorizonMargin(dec0, sinLat, cosLat, H0, c0);
  Q2 = HorizonMargin(dec2, sinLat, cosLat, H2, c0);

  if (Sign(Q2) == Sign(Q0)) return;
  // A margin of exactly zero (or NaN) at an hour boundary makes the signs differ
  // without a rise or a set; such an hour is skipped.
  const bool rising = Q0 < 0 && Q2 > 0;
  const bool setting = Q0 > 0 && Q2 < 0;
  if (!rising && !setting) return;

  const double Q1 = HorizonMargin(dec1, sinLat, cosLat, H1, c0);
  const double a = 2 * Q2 - 4 * Q1 + 2 * Q0;
  const double b = 4 * Q1 - 3 * Q0 - Q2;
  const double D = b * b - 4 * a * Q0;
  if (D < 0) return;
  const double r = pmath::Sqrt(D);

  if (rising) {
    currentSlot = 0;
    riseFound = 0xFF;
  } else {
    currentSlot = 1;
    setFound = 0xFF;
  }

  const double t = SolveCrossing(a, b, r, Q0);
  const double x = h + t + kHalfMinute;
  EventSlot& slot = slots[currentSlot];
  slot.hour = static_cast<int8_t>(TruncToInt(x));
  slot.minute = static_cast<int8_t>(TruncToInt((x - slot.hour) * 60));

  const double H = H0 + t * (H2 - H0);
  const double N = pmath::Sin(H) * (-pmath::Cos(dec1));
  const double M = pmath::Sin(dec1) * cosLat - pmath::Cos(H) * (pmath::Cos(dec1) * sinLat);
  slot.azimuth = Azimuth(N, M);
}

void FinishSunStatus() {
  slots[0].status = 0;
  slots[1].status = 0;
  if (riseFound == 0 && setFound == 0) {
    // No crossing at all: both slots report the same state of the whole day.
    const EventStatus status = Q2 > 0 ? kSunUpAllDay : kSunDownAllDay;
    slots[0].status = status;
    slots[1].status = status;
  } else {
    if (riseFound == 0) slots[0].status = kNoSunrise;
    if (setFound == 0) slots[1].status = kNoSunset;
  }
}

void ComputeSunEvents() {
  longitude = longitude * (1.0 / 360);
  const double z = zone * (1.0 / 24);
  double dayNumber, dayFraction;
  JulianDay(day, month, year, dayNumber, dayFraction);
  double d = dayNumber - 2451545 + dayFraction;
  const double theta0 = SiderealAngle(z, d, longitude);
  d = d + z;

  double ra0, dec0, ra1, dec1;
  SunPosition(d, ra0, dec0);
  SunPosition(d + 1, ra1, dec1);
  if (ra1 < ra0) ra1 = ra1 + kTwoPi;

  c0 = pmath::Cos(kZenithDistance);
  sinLat = pmath::Sin(latitude * kDegToRad);
  cosLat = pmath::Cos(latitude * kDegToRad);

  riseFound = 0;
  setFound = 0;

  double raStart = ra0, decStart = dec0;
  for (double h = 0; h <= 23; h = h + 1) {
    const double p = (h + 1) * (1.0 / 24);
    const double ra = ra0 + p * (ra1 - ra0);
    const double dec = dec0 + p * (dec1 - dec0);
    TestHour(h, theta0, dec, ra, raStart, decStart);
    raStart = ra;
    decStart = dec;
    Q0 = Q2;
  }
  FinishSunStatus();
}

void Store(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  latitude = lat;
  longitude = lon;
  zone = z;
  day = d;
  month = m;
  year = y;
}

const EventSlot& Compute(int slot, uint8_t d, uint8_t m, uint32_t y, double lat, double lon,
                         int8_t z) {
  Store(d, m, y, lat, lon, z);
  ComputeSunEvents();
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
    std::snprintf(buffer, kTextBufferSize, "%s", SunStatusText(s.status));
  } else {
    std::snprintf(buffer, kTextBufferSize, "%02i:%02i", static_cast<int>(s.hour),
                  static_cast<int>(s.minute));
  }
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
  rightAscension = L + ArcSin(S);
  const double s = V / pmath::Sqrt(U);
  declination = ArcSin(s);
}

const char* SunStatusText(int code) {
  std::memset(statusText, 0, sizeof statusText);
  const char* message = nullptr;
  switch (code) {
    case kNoSunrise:
      message = "NO SUNRISE";
      break;
    case kNoSunset:
      message = "NO SUNSET THIS DATE";
      break;
    case kSunDownAllDay:
      message = "SUN DOWN ALL DAY";
      break;
    case kSunUpAllDay:
      message = "SUN UP ALL DAY";
      break;
    default:
      break;
  }
  if (message != nullptr) std::strcpy(statusText, message);
  return statusText;
}

int SunriseHour(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return HourOf(Compute(0, d, m, y, lat, lon, z));
}
int SunriseMinute(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return MinuteOf(Compute(0, d, m, y, lat, lon, z));
}
double SunriseAzimuth(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return AzimuthOf(Compute(0, d, m, y, lat, lon, z));
}
int SunsetHour(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return HourOf(Compute(1, d, m, y, lat, lon, z));
}
int SunsetMinute(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return MinuteOf(Compute(1, d, m, y, lat, lon, z));
}
double SunsetAzimuth(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return AzimuthOf(Compute(1, d, m, y, lat, lon, z));
}
const char* SunriseText(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return FormatSlot(riseText, d, m, y, lat, lon, z, 0);
}
const char* SunsetText(uint8_t d, uint8_t m, uint32_t y, double lat, double lon, int8_t z) {
  return FormatSlot(setText, d, m, y, lat, lon, z, 1);
}
