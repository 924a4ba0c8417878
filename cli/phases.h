// The moon's principal phases and lit fraction for the tool: instants from the
// engine's phase search, read on the zone's clock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lunar_phase.h"
#include "zone.h"

namespace orbel {

struct PhaseInstant {
  PrincipalPhase phase;
  int64_t instant;  // seconds since 1970, UTC, rounded to the second
};

// "new moon", "first quarter", "full moon", "last quarter".
const char* PrincipalPhaseName(PrincipalPhase phase);
// Every principal phase in [from, to), in time order.
std::vector<PhaseInstant> PhasesBetween(int64_t from, int64_t to);
// The first principal phase at or after `from`.
PhaseInstant NextPhase(int64_t from);
// The lit fraction of the moon's disc at an instant, 0-1.
double IlluminatedAt(int64_t instant);

// "2026-01-03 11:03" and "2026-01-03T11:03+01:00": the instant rounded to the
// minute on the zone's clock (dates in the calendar in use).
std::string LocalMinute(const Zone& zone, int64_t instant);
std::string IsoMinute(const Zone& zone, int64_t instant);

}  // namespace orbel
