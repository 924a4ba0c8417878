// Helpers shared by the fuzz targets: reporting a broken invariant, reading
// doubles from the fuzzer's bytes, and showing values exactly.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cinttypes>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace fuzz {

// Prints the message and aborts, so that libFuzzer keeps the input as a crash.
[[noreturn]] inline void Fail(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::fprintf(stderr, "INVARIANT BROKEN: ");
  std::vfprintf(stderr, format, args);
  std::fprintf(stderr, "\n");
  va_end(args);
  std::abort();
}

inline uint64_t Bits(double x) {
  uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

inline double FromBits(uint64_t b) {
  double x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

// A double in a form that round-trips: %.17g and its bit pattern.
inline std::string Show(double x) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g [0x%016" PRIx64 "]", x, Bits(x));
  return buf;
}

// A text with its bytes escaped, for reports.
inline std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    }
  }
  return out + "\"";
}

// A double from the fuzzer's bytes, reaching every bit pattern while giving
// the ordinary range a fair share: raw bits (NaNs with any payload, infinities,
// subnormals, huge values), a table of edge values, or a place-like angle.
inline double ConsumeDouble(FuzzedDataProvider& in) {
  static const double kEdges[] = {
      0.0,
      -0.0,
      std::numeric_limits<double>::quiet_NaN(),
      -std::numeric_limits<double>::quiet_NaN(),
      std::numeric_limits<double>::signaling_NaN(),
      std::numeric_limits<double>::infinity(),
      -std::numeric_limits<double>::infinity(),
      std::numeric_limits<double>::max(),
      -std::numeric_limits<double>::max(),
      std::numeric_limits<double>::min(),
      std::numeric_limits<double>::denorm_min(),
      90.0,
      -90.0,
      180.0,
      270.0,
      360.0,
      89.99999999999999,
      1e300,
      -1e300,
      2147483648.0,
      -2147483649.0,
      9007199254740992.0,
      1e22,
  };
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
      return FromBits(in.ConsumeIntegral<uint64_t>());
    case 1:
      return in.PickValueInArray(kEdges);
    case 2:  // degrees with four decimals, well beyond one turn either way
      return in.ConsumeIntegralInRange<int32_t>(-7200000, 7200000) / 10000.0;
    default:  // degrees, minutes and seconds as the dialog reads them
      return in.ConsumeIntegralInRange<int32_t>(-400, 400) +
             in.ConsumeIntegralInRange<int32_t>(-100, 100) * (1.0 / 60) +
             in.ConsumeIntegralInRange<int32_t>(-100, 100) * (1.0 / 3600);
  }
}

}  // namespace fuzz
