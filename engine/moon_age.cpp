#include "moon_age.h"

#include "calendar.h"

int32_t MoonAge(uint8_t day, uint8_t month, uint32_t year) {
  // January and February count as months 10 and 11 of the previous year.
  const int32_t q = (12 - static_cast<int32_t>(month)) / 10;
  const double Y = static_cast<uint32_t>(year - static_cast<uint32_t>(q));
  double M = static_cast<double>(month) + 9;
  if (M >= 12) M = M - 12;

  const int32_t A = TruncToInt((Y + 4712) * 365.25);
  const int32_t B = TruncToInt(M * 30.6 + 0.5);
  const int32_t K = TruncToInt(TruncToInt(Y * 0.01 + 49) * 0.75) - 38;
  double J = static_cast<double>(A) + B + day + 59;
  if (J > 2299160) J = J - K;  // Gregorian from 15 October 1582 on

  // Mean lunations since the new moon of 6 January 2000.
  const double P = (J - 2451550.1) * 0.0338631919931529;
  double F = P - TruncToInt(P);
  if (F < 0) F = F + 1;
  return TruncToInt(F * 29.53);
}
