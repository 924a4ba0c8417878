// libnova's rise and set, as the benchmarks and the accuracy tool call it.
// libnova is a peer to compare with: only the bench/ programs include this.
#pragma once

#include <libnova/lunar.h>
#include <libnova/solar.h>

namespace orbel_bench {

// libnova's answer for the day that starts at Julian day jd (universal time):
// status 0 with the next rise and set as Julian days, 1 when the body stays up,
// -1 when it stays down.
struct PeerRiseSet {
  int status;
  double rise;
  double set;
};

inline PeerRiseSet LibnovaSunRiseSet(double jd, double latitude, double longitude) {
  ln_lnlat_posn observer{longitude, latitude};  // east positive, as ours
  ln_rst_time rst{};
  const int status = ln_get_solar_rst(jd, &observer, &rst);
  return {status, rst.rise, rst.set};
}

inline PeerRiseSet LibnovaMoonRiseSet(double jd, double latitude, double longitude) {
  ln_lnlat_posn observer{longitude, latitude};
  ln_rst_time rst{};
  const int status = ln_get_lunar_rst(jd, &observer, &rst);
  return {status, rst.rise, rst.set};
}

}  // namespace orbel_bench
