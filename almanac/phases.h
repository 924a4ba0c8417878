// The moon's principal phases and lit fraction, from the engine's phase
// search, as instants.
#pragma once

#include <cstdint>
#include <vector>

#include "lunar_phase.h"
#include "time/zone.h"

namespace orbel {

struct PhaseInstant {
  PrincipalPhase phase;
  Instant instant;  // rounded to the second
};

// "new moon", "first quarter", "full moon", "last quarter".
const char* PrincipalPhaseName(PrincipalPhase phase);
// Every principal phase in [from, to), in time order.
std::vector<PhaseInstant> PhasesBetween(Instant from, Instant to);
// The first principal phase at or after `from`.
PhaseInstant NextPhase(Instant from);
// The lit fraction of the moon's disc at an instant, 0-1.
double IlluminatedAt(Instant instant);
// The English name of the moon's phase beside the German one the dialog shows
// for a moon age in whole days.
const char* EnglishPhaseName(int32_t age);

}  // namespace orbel
