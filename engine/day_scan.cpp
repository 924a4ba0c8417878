#include "day_scan.h"

#include <cstdio>
#include <cstring>

#include "calendar.h"
#include "portable_math.h"

namespace {

const double kTwoPi = 6.283185307179586;
const double kDegToRad = 0.017453292519943295;
const double kRadToDeg = 57.29577951308232;
// Sidereal angle gained in one hour of clock time (15.0410685 degrees).
const double kSiderealPerHour = 0.26251616834300473;
// Half a minute in hours: added before truncating, it rounds to the minute.
const double kHalfMinute = 0.008333333333333333;

// One scan in progress: what stays fixed through the day, the margin carried
// from hour to hour, and the day being filled.
struct Scan {
  const BodyRules* rules;
  BodyDay* day;
  double sinLat;
  double cosLat;
  double cosZenith;
  double startMargin = 0;  // horizon margin at the start of the hour under test
  double endMargin = 0;    // and at its end
  bool riseFound = false;
  bool setFound = false;
};

// Height of the body above the horizon circle, as a cosine difference: positive
// while the body stands above it.
double HorizonMargin(const Scan& scan, double hourAngle, double declination) {
  return pmath::Cos(hourAngle) * (pmath::Cos(declination) * scan.cosLat) +
         pmath::Sin(declination) * scan.sinLat - scan.cosZenith;
}

// Azimuth in degrees from north through east from the arctangent's numerator
// and denominator; the quadrant comes from the signs. A zero denominator gives
// the formula's limit instead of NaN.
double Azimuth(double numerator, double denominator) {
  if (denominator == 0) {
    if (numerator > 0) return 90;
    if (numerator < 0) return 270;
    return 0;
  }
  double azimuth = pmath::Atan(numerator / denominator) * kRadToDeg;
  if (denominator < 0) azimuth = azimuth + 180;
  if (azimuth < 0) azimuth = azimuth + 360;
  if (azimuth > 360) azimuth = azimuth - 360;
  return azimuth;
}

// The part of the hour test that may stop early: whether the margin crosses
// zero inside the hour, and if so where and in which direction.
void SolveHour(Scan& scan, double hour, double thetaStart, double raStart, double decStart,
               double raEnd, double decEnd) {
  const double thetaEnd = thetaStart + kSiderealPerHour;
  const double hourAngleStart = thetaStart - raStart;
  const double hourAngleEnd = thetaEnd - raEnd;
  const double hourAngleMid = (hourAngleEnd + hourAngleStart) * 0.5;
  const double decMid = (decEnd + decStart) * 0.5;

  if (hour <= 0) scan.startMargin = HorizonMargin(scan, hourAngleStart, decStart);
  scan.endMargin = HorizonMargin(scan, hourAngleEnd, decEnd);
  const double q0 = scan.startMargin;
  const double q2 = scan.endMargin;

  if (Sign(q0) == Sign(q2)) return;
  // A margin of exactly zero (or NaN) at an hour boundary makes the signs
  // differ without a rise or a set; such an hour is skipped.
  const bool rising = q0 < 0 && q2 > 0;
  const bool setting = q0 > 0 && q2 < 0;
  if (!rising && !setting) return;

  // The quadratic through the margins at the start, middle and end of the hour.
  const double q1 = HorizonMargin(scan, hourAngleMid, decMid);
  const double a = 2 * q2 - 4 * q1 + 2 * q0;
  const double b = 4 * q1 - 3 * q0 - q2;
  const double discriminant = b * b - 4 * a * q0;
  if (discriminant < 0) return;
  const double r = pmath::Sqrt(discriminant);

  double t;
  if (a == 0) {
    t = -q0 / b;  // the margin changes linearly over the hour
  } else {
    t = (-b + r) / (2 * a);
    if (t > 1 || t < 0) t = (-b - r) / (2 * a);
  }

  Crossing& crossing = scan.day->crossings[scan.day->crossingCount++];
  crossing.kind = rising ? CrossingKind::kRise : CrossingKind::kSet;
  crossing.hours = hour + t;
  const double x = hour + t + kHalfMinute;
  const int32_t fullHour = TruncToInt(x);
  crossing.hour = static_cast<int8_t>(fullHour);
  crossing.minute = static_cast<int8_t>(
      TruncToInt((x - (scan.rules->minuteFromStoredHour ? crossing.hour : fullHour)) * 60));

  // The direction uses the declination of the middle of the hour.
  const double hourAngle = hourAngleStart + t * (hourAngleEnd - hourAngleStart);
  const double numerator = pmath::Sin(hourAngle) * (-pmath::Cos(decMid));
  const double denominator =
      pmath::Sin(decMid) * scan.cosLat - pmath::Cos(hourAngle) * (pmath::Cos(decMid) * scan.sinLat);
  crossing.azimuth = Azimuth(numerator, denominator);

  // A later crossing of the same kind replaces the earlier one in its slot.
  EventSlot& slot = rising ? scan.day->rise : scan.day->set;
  slot.hour = crossing.hour;
  slot.minute = crossing.minute;
  slot.azimuth = crossing.azimuth;
  (rising ? scan.riseFound : scan.setFound) = true;
}

}  // namespace

DayStart StartOfDay(const DayQuery& query) {
  const double longitudeRevolutions = query.longitude * (1.0 / 360);
  const double zoneDays = query.zone * (1.0 / 24);
  double dayNumber, dayFraction;
  JulianDay(query.day, query.month, query.year, dayNumber, dayFraction);
  const double d = dayNumber - 2451545 + dayFraction;
  return DayStart{SiderealAngle(zoneDays, d, longitudeRevolutions), d + zoneDays};
}

double HourAngleAt(const DayStart& start, double hours, double rightAscension) {
  return start.siderealAngle + hours * kSiderealPerHour - rightAscension;
}

SkyPosition SkyPositionAt(const DayStart& start, double hours, double latitude,
                          double rightAscension, double declination) {
  const double hourAngle = HourAngleAt(start, hours, rightAscension);
  const double phi = latitude * kDegToRad;
  const double sinAltitude = pmath::Sin(declination) * pmath::Sin(phi) +
                             pmath::Cos(declination) * pmath::Cos(phi) * pmath::Cos(hourAngle);
  const double numerator = pmath::Sin(hourAngle) * (-pmath::Cos(declination));
  const double denominator = pmath::Sin(declination) * pmath::Cos(phi) -
                             pmath::Cos(hourAngle) * (pmath::Cos(declination) * pmath::Sin(phi));
  const double clamped = sinAltitude > 1 ? 1 : sinAltitude < -1 ? -1 : sinAltitude;
  const double altitude = clamped == 1    ? 90
                          : clamped == -1 ? -90
                                          : pmath::ArcSin(clamped) * kRadToDeg;
  return SkyPosition{altitude, Azimuth(numerator, denominator)};
}

BodyDay ScanDay(const DayStart& start, double latitude, double cosZenith,
                const HourlyPositions& positions, const BodyRules& rules) {
  BodyDay day{};
  const double latitudeRadians = latitude * kDegToRad;
  Scan scan{&rules, &day, pmath::Sin(latitudeRadians), pmath::Cos(latitudeRadians), cosZenith};
  const double* ra = positions.rightAscension;
  const double* dec = positions.declination;
  for (int i = 0; i < 24; ++i) {
    const double hour = i;
    double raEnd = ra[i + 1];
    if (rules.unwrapEachHour && raEnd < ra[i]) raEnd = raEnd + kTwoPi;
    const double thetaStart = hour * kSiderealPerHour + start.siderealAngle;
    SolveHour(scan, hour, thetaStart, ra[i], dec[i], raEnd, dec[i + 1]);
    scan.startMargin = scan.endMargin;
  }

  day.endMargin = scan.endMargin;
  if (!scan.riseFound && !scan.setFound) {
    // No crossing at all: both slots report the same state of the whole day.
    const EventStatus status =
        rules.codes[scan.endMargin > 0 ? kUpAllDayStatus : kDownAllDayStatus];
    day.rise.status = status;
    day.set.status = status;
  } else {
    if (!scan.riseFound) day.rise.status = rules.codes[kNoRiseStatus];
    if (!scan.setFound) day.set.status = rules.codes[kNoSetStatus];
  }
  return day;
}

const char* StatusMessage(const BodyRules& rules, int code) {
  for (int i = 0; i < 4; ++i) {
    if (code == rules.codes[i]) return rules.messages[i];
  }
  return "";
}

int HourOrStatus(const EventSlot& slot) {
  return slot.status != 0 ? slot.status : slot.hour;
}

int MinuteOrStatus(const EventSlot& slot) {
  return slot.status != 0 ? slot.status : slot.minute;
}

double AzimuthOrStatus(const EventSlot& slot) {
  return slot.status != 0 ? slot.status : slot.azimuth;
}

void FormatEventText(const EventSlot& slot, const char* (*statusMessage)(int),
                     char (&buffer)[kTextBufferSize]) {
  std::memset(buffer, 0, kTextBufferSize);
  if (slot.status != 0) {
    std::snprintf(buffer, kTextBufferSize, "%s", statusMessage(slot.status));
  } else {
    std::snprintf(buffer, kTextBufferSize, "%02i:%02i", static_cast<int>(slot.hour),
                  static_cast<int>(slot.minute));
  }
}
