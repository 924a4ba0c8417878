#include "phases.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "place.h"

namespace orbel {

namespace {

// The engine counts days from J2000.0, 2000-01-01 12:00 UT.
constexpr int64_t kJ2000 = 946728000;

double DayCount(int64_t instant) {
  return static_cast<double>(instant - kJ2000) / 86400;
}

int64_t Instant(double dayCount) {
  return kJ2000 + std::llround(dayCount * 86400);
}

// The minute's local date, hour and minute, and the offset in force.
struct LocalClock {
  Date date;
  int hour, minute, offset;
};

LocalClock ClockAt(const Zone& zone, int64_t instant) {
  const int64_t minute = (instant + 30) / 60 * 60 - ((instant + 30) % 60 < 0 ? 60 : 0);
  const int offset = zone.at(minute).value_or(ZoneState{0, ""}).offset;
  const int64_t local = minute + offset;
  const int64_t day = local / 86400 - (local % 86400 < 0 ? 1 : 0);
  const int64_t seconds = local - day * 86400;
  return LocalClock{DateOfDayNumber(day), static_cast<int>(seconds / 3600),
                    static_cast<int>(seconds / 60 % 60), offset};
}

}  // namespace

const char* PrincipalPhaseName(PrincipalPhase phase) {
  static const char* const kNames[] = {"new moon", "first quarter", "full moon", "last quarter"};
  return kNames[phase];
}

std::vector<PhaseInstant> PhasesBetween(int64_t from, int64_t to) {
  std::vector<PhaseInstant> phases;
  for (int p = kNewMoon; p <= kLastQuarter; ++p) {
    for (double d = NextPrincipalPhase(DayCount(from), static_cast<PrincipalPhase>(p));
         Instant(d) < to; d = NextPrincipalPhase(d + 1, static_cast<PrincipalPhase>(p))) {
      phases.push_back({static_cast<PrincipalPhase>(p), Instant(d)});
    }
  }
  std::sort(phases.begin(), phases.end(),
            [](const PhaseInstant& a, const PhaseInstant& b) { return a.instant < b.instant; });
  return phases;
}

PhaseInstant NextPhase(int64_t from) {
  PhaseInstant next{kNewMoon, 0};
  for (int p = kNewMoon; p <= kLastQuarter; ++p) {
    const int64_t t = Instant(NextPrincipalPhase(DayCount(from), static_cast<PrincipalPhase>(p)));
    if (p == kNewMoon || t < next.instant) next = {static_cast<PrincipalPhase>(p), t};
  }
  return next;
}

double IlluminatedAt(int64_t instant) {
  return LunarPhaseAt(DayCount(instant)).illuminated;
}

std::string LocalMinute(const Zone& zone, int64_t instant) {
  const LocalClock c = ClockAt(zone, instant);
  char time[16];
  std::snprintf(time, sizeof time, " %02d:%02d", c.hour, c.minute);
  return FormatDate(c.date) + time;
}

std::string IsoMinute(const Zone& zone, int64_t instant) {
  const LocalClock c = ClockAt(zone, instant);
  char time[16];
  std::snprintf(time, sizeof time, "T%02d:%02d", c.hour, c.minute);
  return FormatDate(c.date) + time + FormatOffset(c.offset);
}

}  // namespace orbel
