// The German name of the moon's phase for an age in whole days.
#pragma once

#include <cstdint>

// Age 0 is new moon, 1 to 14 waxing, 15 full moon, anything else waning. The
// age is compared as an unsigned number, so a negative age counts as waning.
inline const char* PhaseName(int32_t age) {
  const uint32_t days = static_cast<uint32_t>(age);
  if (days == 0) return "Neumond";
  if (days <= 14) return "Zunehmender Mond";
  if (days == 15) return "Vollmond";
  return "Abnehmender Mond";
}
