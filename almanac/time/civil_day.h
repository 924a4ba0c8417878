// One civil day of a zone: its bounds in universal time (23 or 25 hours when
// the clocks change), the offsets in force, and the readings between the clock
// and the engine's scans, each of which runs under one offset.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "calendar.h"
#include "zone.h"

namespace orbel {

struct CivilDay {
  const Zone* zone;
  Date date;
  Instant midnight;  // the date's 00:00 as if it were UTC
  Instant start, end;
  std::vector<int> offsets;  // in force during the day, in order
  int noonScan;              // index of the offset in force at local noon

  // Whether the zone skipped the whole day (Samoa went from 29 to 31
  // December 2011).
  bool Skipped() const { return start >= end; }

  // The clock in force at an instant. Throws InputError when the zone cannot
  // tell.
  ZoneState At(Instant t) const;
  // Whether the clock time `minutes` after midnight, read with `offset`, is an
  // instant of this day at which that offset is in force.
  bool Shows(int64_t minutes, int offset) const;
  // The instant that `seconds` after midnight means under `offset`.
  Instant InstantAt(int64_t seconds, int offset) const;
  // Whether the instant lies in the day with `offset` in force then.
  bool Holds(Instant t, int offset) const;

  // The clock reading of a minute that a scan under `scanOffset` gives: moved
  // to the clock in force at that minute, so that a minute in the last half
  // minute before the clocks go forward reads as the first minute after the
  // change, not as a time that is skipped. `repeated` tells when that clock
  // time also shows another offset's instant of the day (the repeated hour).
  struct Reading {
    int64_t minutes;  // after midnight on the clock shown
    ZoneState shown;
    bool repeated;
  };
  Reading Read(int64_t minutes, int scanOffset) const;

  // The instant the local clock shows `minutes` after midnight, read with the
  // offset that shows it (the noon offset for a time the day skipped).
  Instant InstantOfClock(int64_t minutes) const;
  // The first instant at which the clock shows `seconds` after midnight (the
  // earlier of a repeated hour), or nothing when the clocks skipped it.
  std::optional<Instant> FirstInstantShowing(int64_t seconds) const;
};

CivilDay MakeCivilDay(const Date& date, const Zone& zone);

}  // namespace orbel
