#include "lunar_phase.h"

#include "moon_position.h"
#include "portable_math.h"
#include "sun_events.h"

namespace {

const double kPi = 3.141592653589793;
const double kDegToRad = 0.017453292519943295;
const double kRadToDeg = 57.29577951308232;
// The sun's mean distance in Earth radii: the phase angle needs only the
// ratio of the two distances, which the sun's varies by 1.7 %.
const double kSunDistance = 23455;
// The mean synodic month in days, for the first estimate of a phase.
const double kSynodicMonth = 29.530588853;
const double kOneSecond = 1.0 / 86400;

// The quadrant-correct arctangent of y / x, from the portable arctangent so
// that every build gives the same bits.
double ArcTan2(double y, double x) {
  if (x > 0) return pmath::Atan(y / x);
  if (x < 0) return pmath::Atan(y / x) + (y >= 0 ? kPi : -kPi);
  return y > 0 ? kPi / 2 : y < 0 ? -kPi / 2 : 0;
}

// Degrees into [0, 360).
double Turn(double degrees) {
  double t = degrees - 360 * static_cast<double>(static_cast<long long>(degrees / 360));
  if (t < 0) t += 360;
  return t >= 360 ? 0 : t;
}

// Ecliptic longitude (radians) of right ascension and declination, with the
// mean obliquity of the date: the series give equatorial coordinates of date,
// so the ecliptic of date is the plane to turn them into.
double EclipticLongitude(double rightAscension, double declination, double obliquity) {
  return ArcTan2(pmath::Sin(rightAscension) * pmath::Cos(obliquity) +
                     pmath::Sin(declination) / pmath::Cos(declination) * pmath::Sin(obliquity),
                 pmath::Cos(rightAscension));
}

// Moon minus sun in ecliptic longitude minus `target`, in (-180, 180].
double ElongationFrom(double d, double target) {
  const double offset = Turn(LunarPhaseAt(d).elongation - target);
  return offset > 180 ? offset - 360 : offset;
}

}  // namespace

LunarPhase LunarPhaseAt(double d) {
  double sunRa = 0, sunDec = 0, moonRa = 0, moonDec = 0, moonDistance = 0;
  SunPosition(d, sunRa, sunDec);
  MoonPosition(d, moonRa, moonDec, moonDistance);
  // Mean obliquity of the date (IAU 1980 to first order in time).
  const double obliquity = (23.439291 - 0.0130042 * (d / 36525)) * kDegToRad;
  const double elongation = Turn((EclipticLongitude(moonRa, moonDec, obliquity) -
                                  EclipticLongitude(sunRa, sunDec, obliquity)) *
                                 kRadToDeg);
  // The angle between sun and moon seen from the earth, then the angle at the
  // moon between the sun and the earth.
  const double cosSeparation =
      pmath::Sin(sunDec) * pmath::Sin(moonDec) +
      pmath::Cos(sunDec) * pmath::Cos(moonDec) * pmath::Cos(sunRa - moonRa);
  const double sinSeparation = pmath::Sqrt(1 - cosSeparation * cosSeparation);
  const double phaseAngle =
      ArcTan2(kSunDistance * sinSeparation, moonDistance - kSunDistance * cosSeparation);
  return LunarPhase{elongation, phaseAngle * kRadToDeg, (1 + pmath::Cos(phaseAngle)) / 2};
}

double NextPrincipalPhase(double d, PrincipalPhase phase) {
  const double target = 90.0 * phase;
  // The elongation grows by about 12.2 degrees a day: estimate, then refine
  // with secant steps on the offset from the target.
  double t = d + Turn(target - LunarPhaseAt(d).elongation) / 360 * kSynodicMonth;
  double previous = t - 0.01;
  double fPrevious = ElongationFrom(previous, target);
  for (int i = 0; i < 20; ++i) {
    const double f = ElongationFrom(t, target);
    if (f == fPrevious) break;
    const double next = t - f * (t - previous) / (f - fPrevious);
    previous = t;
    fPrevious = f;
    t = next;
    if (t - previous < kOneSecond / 100 && previous - t < kOneSecond / 100) break;
  }
  // Just before `d` by a rounding: the next one.
  return t < d ? NextPrincipalPhase(d + 1, phase) : t;
}
