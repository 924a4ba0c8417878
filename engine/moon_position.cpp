#include "moon_position.h"

#include "calendar.h"
#include "portable_math.h"

namespace {

const double kPi = 3.141592653589793;

// Fraction of a revolution (negative for negative x), in radians.
double ReducedRadians(double x) {
  x = x - TruncToInt(x);
  return x * 2 * kPi;
}

}  // namespace

void MoonPosition(double T, double& rightAscension, double& declination, double& distance) {
  using pmath::Cos;
  using pmath::Sin;
  // Mean arguments in revolutions: longitude, anomaly, argument of latitude,
  // elongation, ascending node, and the sun's mean anomaly.
  double L = 0.606434 + 0.03660110129 * T;
  double M = 0.374897 + 0.03629164709 * T;
  double F = 0.259091 + 0.0367481952 * T;
  double D = 0.827362 + 0.03386319198 * T;
  double N = 0.347343 - 0.00014709391 * T;
  double G = 0.993126 + 0.0027377785 * T;
  L = ReducedRadians(L);
  M = ReducedRadians(M);
  F = ReducedRadians(F);
  D = ReducedRadians(D);
  N = ReducedRadians(N);
  G = ReducedRadians(G);

  double V = 0.39558 * Sin(F + N);
  V = V + 0.082 * Sin(F);
  V = V + 0.03257 * Sin(M - F - N);
  V = V + 0.01092 * Sin(M + F + N);
  V = V + 0.00666 * Sin(M - F);
  V = V - 0.00644 * Sin(M + F - 2 * D + N);
  V = V - 0.00331 * Sin(F - 2 * D + N);
  V = V - 0.00304 * Sin(F - 2 * D);
  V = V - 0.0024 * Sin(M - F - 2 * D - N);
  V = V + 0.00226 * Sin(M + F);
  V = V - 0.00108 * Sin(M + F - 2 * D);
  V = V - 0.00079 * Sin(F - N);
  V = V + 0.00078 * Sin(2 * D + F + N);

  double U = 1;
  U = U - 0.10828 * Cos(M);
  U = U - 0.0188 * Cos(M - 2 * D);
  U = U - 0.01479 * Cos(2 * D);
  U = U + 0.00181 * Cos(2 * M - 2 * D);
  U = U - 0.00147 * Cos(2 * M);
  U = U - 0.00105 * Cos(2 * D - G);
  U = U - 0.00075 * Cos(M - 2 * D + G);

  double W = 0.10478 * Sin(M);
  W = W - 0.04105 * Sin(2 * F + 2 * N);
  W = W - 0.0213 * Sin(M - 2 * D);
  W = W - 0.01779 * Sin(2 * F + N);
  W = W + 0.01774 * Sin(N);
  W = W + 0.00987 * Sin(2 * D);
  W = W - 0.00338 * Sin(M - 2 * F - 2 * N);
  W = W - 0.00309 * Sin(G);
  W = W - 0.0019 * Sin(2 * F);
  W = W - 0.00144 * Sin(M + N);
  W = W - 0.00144 * Sin(M - 2 * F - N);
  W = W - 0.00113 * Sin(M + 2 * F + 2 * N);
  W = W - 0.00094 * Sin(M - 2 * D + G);
  W = W - 0.00092 * Sin(2 * M - 2 * D);

  const double S = W / pmath::Sqrt(U - V * V);
  rightAscension = pmath::ArcSin(S) + L;
  const double y = V / pmath::Sqrt(U);
  declination = pmath::ArcSin(y);
  distance = 60.40974 * pmath::Sqrt(U);
}
