// Calendar and sidereal-time building blocks shared by the sun and moon modules.
//
// Each event module keeps its own stored date and longitude; these routines take
// them as arguments so that the two modules run identical arithmetic.
#pragma once

#include <cstdint>

// Truncation of a double toward zero to a signed 32-bit integer. NaN and values
// outside the signed 32-bit range give INT32_MIN, as the x86 truncating
// conversion does, so every input is defined and every build agrees.
inline int32_t TruncToInt(double x) {
  // The comparison is false for NaN as well.
  if (x > -2147483649.0 && x < 2147483648.0) return static_cast<int32_t>(x);
  return INT32_MIN;
}

// Three-valued sign: -1.0, +1.0, or 0.0 for zero and NaN.
inline double Sign(double x) {
  if (x < 0) return -1.0;
  if (x > 0) return 1.0;
  return 0.0;
}

// Absolute value as x or x * -1.
inline double Abs(double x) {
  return x >= 0 ? x : x * -1;
}

// Julian day number and day fraction of 0 h universal time of a civil date.
// Years from 1583 on are Gregorian, earlier ones Julian. Out-of-range days and
// months are not rejected; the arithmetic simply carries on.
void JulianDay(uint32_t day, uint32_t month, uint32_t year, double& dayNumber, double& dayFraction);

// Local mean sidereal time at local midnight, as an angle in radians in
// (-2*pi, 2*pi). z is the zone offset in days, d the day count from J2000.0 to
// 0 h universal time, longitudeRevolutions the east longitude in revolutions.
double SiderealAngle(double z, double d, double longitudeRevolutions);
