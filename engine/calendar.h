// Calendar and sidereal-time building blocks shared by the sun and moon modules.
//
// Each event module keeps its own stored date and longitude; these routines take
// them as arguments so that the two modules run identical arithmetic.
#pragma once

#include <cstdint>

// Truncation of a double toward zero to a signed 32-bit integer. NaN and values
// outside the signed 32-bit range give INT32_MIN, as the x86 truncating
// conversion does, so every input is defined and every build agrees.
int32_t TruncToInt(double x);

// Three-valued sign: -1.0, +1.0, or 0.0 for zero and NaN.
double Sign(double x);

// Absolute value as x or x * -1.
double Abs(double x);

// Julian day number and day fraction of 0 h universal time of a civil date.
// Years from 1583 on are Gregorian, earlier ones Julian. Out-of-range days and
// months are not rejected; the arithmetic simply carries on.
void JulianDay(uint32_t day, uint32_t month, uint32_t year, double& dayNumber, double& dayFraction);

// Local mean sidereal time at local midnight, as an angle in radians in
// (-2*pi, 2*pi). z is the zone offset in days, d the day count from J2000.0 to
// 0 h universal time, longitudeRevolutions the east longitude in revolutions.
double SiderealAngle(double z, double d, double longitudeRevolutions);
