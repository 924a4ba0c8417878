#include "phases.h"

#include <algorithm>
#include <cmath>

namespace orbel {

namespace {

// The engine counts days from J2000.0, 2000-01-01 12:00 UT.
constexpr Instant kJ2000 = 946728000;

double DayCount(Instant instant) {
  return static_cast<double>(instant - kJ2000) / 86400;
}

Instant InstantOf(double dayCount) {
  return kJ2000 + std::llround(dayCount * 86400);
}

}  // namespace

const char* PrincipalPhaseName(PrincipalPhase phase) {
  static const char* const kNames[] = {"new moon", "first quarter", "full moon", "last quarter"};
  return kNames[phase];
}

std::vector<PhaseInstant> PhasesBetween(Instant from, Instant to) {
  std::vector<PhaseInstant> phases;
  for (int p = kNewMoon; p <= kLastQuarter; ++p) {
    for (double d = NextPrincipalPhase(DayCount(from), static_cast<PrincipalPhase>(p));
         InstantOf(d) < to; d = NextPrincipalPhase(d + 1, static_cast<PrincipalPhase>(p))) {
      phases.push_back({static_cast<PrincipalPhase>(p), InstantOf(d)});
    }
  }
  std::sort(phases.begin(), phases.end(),
            [](const PhaseInstant& a, const PhaseInstant& b) { return a.instant < b.instant; });
  return phases;
}

PhaseInstant NextPhase(Instant from) {
  PhaseInstant next{kNewMoon, 0};
  for (int p = kNewMoon; p <= kLastQuarter; ++p) {
    const Instant t = InstantOf(NextPrincipalPhase(DayCount(from), static_cast<PrincipalPhase>(p)));
    if (p == kNewMoon || t < next.instant) next = {static_cast<PrincipalPhase>(p), t};
  }
  return next;
}

double IlluminatedAt(Instant instant) {
  return LunarPhaseAt(DayCount(instant)).illuminated;
}

const char* EnglishPhaseName(int32_t age) {
  const uint32_t days = static_cast<uint32_t>(age);  // compared as PhaseName compares
  if (days == 0) return "new moon";
  if (days <= 14) return "waxing moon";
  if (days == 15) return "full moon";
  return "waning moon";
}

}  // namespace orbel
