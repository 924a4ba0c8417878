#include "calendar.h"

void JulianDay(uint32_t day, uint32_t month, uint32_t year, double& dayNumber,
               double& dayFraction) {
  const double D = day;
  const uint32_t M = month;
  const uint32_t Y = year;

  const int32_t G = Y >= 1583 ? 1 : 0;
  const double b = TruncToInt(D);
  dayFraction = D - b - 0.5;
  const uint32_t c = (M + 9) / 12;
  // The product wraps as unsigned 32-bit arithmetic; the quotient is negated
  // as a whole number.
  double number = -static_cast<double>((7u * (Y + c)) / 4u);

  int32_t correction = 0;
  if (G == 1) {
    const double e = Abs(static_cast<double>(M) - 9);
    const double s = Sign(static_cast<double>(M) - 9);
    const int32_t g = TruncToInt(e / 7);
    const int32_t k = TruncToInt(g * s + Y);
    const int32_t h = k / 100;
    correction = -((3 * (h + 1)) / 4);
  }

  const uint32_t q = (275 * M) / 9;
  number = q + number + b + G * correction;
  number = number + 1721027 + 2 * G + 367.0 * Y;

  if (dayFraction < 0) {
    dayFraction = dayFraction + 1;
    number = number - 1;
  }
  dayNumber = number;
}

double SiderealAngle(double z, double d, double longitudeRevolutions) {
  const double T = d / 36525;
  double s = T * 8640184.813 + 24110.5;
  s = 86636.6 * z + s + 86400 * longitudeRevolutions;
  const double x = s / 86400;
  const double f = x - TruncToInt(x);
  return f * 360 * 0.017453292519943295;
}
