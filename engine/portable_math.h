// Sine, cosine, arctangent and square root with the same bits on every build.
//
// The platform math libraries disagree in the last bit (glibc picks FMA code
// paths at run time, msvcrt and Wine have their own), so the engine and the
// phase picture use these instead of <cmath>'s.
//
// Sin, Cos and Atan are musl libc's (fdlibm's) algorithms in plain double
// arithmetic: error below 1 ulp, every double accepted (NaN and +-inf give
// NaN for Sin and Cos; huge arguments are reduced exactly), -0 kept by Sin
// and Atan. The build must round each double operation once: SSE2 math, no
// contraction into fused multiply-add (-ffp-contract=off), no fast-math.
#pragma once

namespace pmath {

// Pure functions of their argument: the compiler may merge repeated calls with
// the same argument, which gives the same bits.
[[gnu::const]] double Sin(double x);
[[gnu::const]] double Cos(double x);
[[gnu::const]] double Atan(double x);
[[gnu::const]] double Sqrt(double x);  // IEEE correctly rounded on every build

// The arcsine as atan(x / sqrt(1 - x^2)), the only arcsine the engine uses.
inline double ArcSin(double x) {
  return Atan(x / Sqrt(1 - x * x));
}

}  // namespace pmath
