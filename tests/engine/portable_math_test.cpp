#include "portable_math.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

using Fn = double (*)(double);

uint64_t Bits(double x) {
  uint64_t u;
  std::memcpy(&u, &x, sizeof u);
  return u;
}

double FromBits(uint64_t u) {
  double x;
  std::memcpy(&x, &u, sizeof x);
  return x;
}

// Number of representable doubles between finite a and b (+0 and -0 count
// as one).
uint64_t UlpDistance(double a, double b) {
  const auto key = [](double x) {
    const int64_t magnitude = static_cast<int64_t>(Bits(x) & 0x7fffffffffffffffu);
    return std::signbit(x) ? -magnitude : magnitude;
  };
  const int64_t d = key(a) - key(b);
  return static_cast<uint64_t>(d < 0 ? -d : d);
}

// SplitMix64: the same sequence on every platform, unlike <random>'s
// distributions.
struct Rng {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9e3779b97f4a7c15u);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
  }
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1p-53; }  // [0, 1)
  double Symmetric(double limit) { return (2.0 * Unit() - 1.0) * limit; }
  double AnyFinite() {
    double x;
    do x = FromBits(Next());
    while (!std::isfinite(x));
    return x;
  }
};

struct Named {
  const char* name;
  Fn ours;
  Fn libm;
};
const Named kFunctions[] = {
    {"sin", pmath::Sin, [](double x) { return std::sin(x); }},
    {"cos", pmath::Cos, [](double x) { return std::cos(x); }},
    {"atan", pmath::Atan, [](double x) { return std::atan(x); }},
};

// Inputs drawn by a generator; every function must stay within 1 ulp of the
// host libm.
struct Sample {
  const char* name;
  double (*draw)(Rng&);
};
const Sample kSamples[] = {
    {"|x| < 4", [](Rng& r) { return r.Symmetric(4.0); }},
    {"|x| < 1e6", [](Rng& r) { return r.Symmetric(1e6); }},
    {"1 < |x| < 1e300 log-uniform",
     [](Rng& r) { return std::pow(1e300, r.Unit()) * (r.Next() & 1 ? -1 : 1); }},
    {"any finite bit pattern", [](Rng& r) { return r.AnyFinite(); }},
    // k*pi/2 and its neighbours up to 2 ulps away, where reduction cancels.
    {"near multiples of pi/2",
     [](Rng& r) {
       const double base = static_cast<double>(1 + r.Next() % 200000) * M_PI_2;
       return FromBits(Bits(base) + r.Next() % 5 - 2);
     }},
};

TEST(PortableMath, WithinOneUlpOfLibmOnRandomInputs) {
#ifdef _WIN32
  // The reference is glibc's libm; MinGW's own cos is far off near multiples
  // of pi/2. The Windows build is checked against the Linux bits instead.
  GTEST_SKIP() << "compared with glibc only";
#endif
  constexpr int kCount = 200000;
  for (const Sample& sample : kSamples) {
    for (const Named& f : kFunctions) {
      Rng rng{0x0123456789abcdefu};
      int worse = 0;
      for (int i = 0; i < kCount; ++i) {
        const double x = sample.draw(rng);
        const double ours = f.ours(x), libm = f.libm(x);
        if (UlpDistance(ours, libm) > 1 && worse++ < 3) {
          ADD_FAILURE() << f.name << "(" << std::hexfloat << x << ") = " << ours << ", libm "
                        << libm;
        }
      }
      EXPECT_EQ(worse, 0) << f.name << " on " << sample.name;
    }
  }
}

// NaN and infinities give NaN (Atan of an infinity pi/2); signed zeros and
// tiny arguments come back unchanged from the odd functions.
TEST(PortableMath, SpecialValues) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double tiny = std::numeric_limits<double>::denorm_min();
  const double subnormal = 0x1.23456789abcdep-1030;
  const struct {
    Fn fn;
    double x, want;
  } cases[] = {
      {pmath::Sin, 0.0, 0.0},          {pmath::Sin, -0.0, -0.0},
      {pmath::Atan, 0.0, 0.0},         {pmath::Atan, -0.0, -0.0},
      {pmath::Sin, tiny, tiny},        {pmath::Sin, -subnormal, -subnormal},
      {pmath::Atan, tiny, tiny},       {pmath::Atan, -subnormal, -subnormal},
      {pmath::Sin, 0x1p-27, 0x1p-27},  {pmath::Cos, 0.0, 1.0},
      {pmath::Cos, -0.0, 1.0},         {pmath::Cos, tiny, 1.0},
      {pmath::Cos, 0x1p-27, 1.0},      {pmath::Atan, inf, M_PI_2},
      {pmath::Atan, -inf, -M_PI_2},    {pmath::Atan, 1e300, M_PI_2},
      {pmath::Atan, -0x1p66, -M_PI_2}, {pmath::Sin, inf, nan},
      {pmath::Sin, -inf, nan},         {pmath::Cos, inf, nan},
      {pmath::Cos, -inf, nan},         {pmath::Sin, nan, nan},
      {pmath::Sin, -nan, nan},         {pmath::Cos, nan, nan},
      {pmath::Cos, -nan, nan},         {pmath::Atan, nan, nan},
      {pmath::Atan, -nan, nan},
  };
  for (const auto& c : cases) {
    const double got = c.fn(c.x);
    EXPECT_TRUE(std::isnan(c.want) ? std::isnan(got) : Bits(got) == Bits(c.want))
        << std::hexfloat << c.x << " -> " << got;
  }
}

// Correctly rounded values (checked with 4000-bit mpmath), pinned to every
// printed digit. The large arguments go through the multi-word reduction;
// 6381956970095103 * 2^797 = 0x1.6ac5b262ca1ffp+849 is the double closest to
// a multiple of pi/2 (within 2^-61), the hardest case for it (glibc 2.36's
// cos is 8 ulps off there). Atan at its interval boundaries 7/16, 19/16 and
// 39/16.
TEST(PortableMath, KnownValues) {
  const struct {
    Fn fn;
    double x, want;
  } cases[] = {
      {pmath::Sin, 0x1p20 * M_PI_2, -6.420676210313675e-11},
      {pmath::Sin, 1e300, -0.8178819121159085},
      {pmath::Cos, 1e300, -0.5753861119575491},
      {pmath::Sin, DBL_MAX, 0.004961954789184062},
      {pmath::Cos, -DBL_MAX, -0.9999876894265599},
      {pmath::Sin, 0x1.6ac5b262ca1ffp+849, 1.0},
      {pmath::Cos, 0x1.6ac5b262ca1ffp+849, -4.687165924254628e-19},
      {pmath::Atan, 0.4375, 0.4124104415973873},
      {pmath::Atan, 1.1875, 0.870903457075653},
      {pmath::Atan, 2.4375, 1.1814796049617557},
      {pmath::Sqrt, 2.0, 1.4142135623730951},
  };
  for (const auto& c : cases) EXPECT_EQ(c.fn(c.x), c.want) << std::hexfloat << c.x;
  EXPECT_EQ(pmath::Atan(1.0) * 4, 3.141592653589793);
}

// FNV-1a over the bits of Sin, Cos and Atan on a fixed input set. The value
// is the same on every build; a change means the arithmetic changed (a
// reordered operation, a contracted multiply-add, x87 intermediates).
TEST(PortableMath, OutputChecksumIsPinned) {
  uint64_t hash = 0xcbf29ce484222325u;
  Rng rng{42};
  for (int i = 0; i < 100000; ++i) {
    const double x = i % 2 ? rng.Symmetric(1e4) : rng.AnyFinite();
    for (const Named& f : kFunctions) {
      hash = (hash ^ Bits(f.ours(x))) * 0x100000001b3u;
    }
  }
  EXPECT_EQ(hash, 0x014d8fba49d91e39u);
}

}  // namespace
