// The moon's phase from the engine's own sun and moon series: the elongation,
// the phase angle and the illuminated fraction at an instant, and the instants
// of the four principal phases. Instants are day counts from J2000.0 in
// universal time (-0.5 is 1 January 2000, 0 h), as the position series take.
#pragma once

// The phase at one instant.
struct LunarPhase {
  double elongation;   // moon minus sun in ecliptic longitude, degrees 0-360
  double phaseAngle;   // sun-moon-earth angle, degrees: 180 new, 0 full
  double illuminated;  // lit fraction of the disc, 0-1
};
LunarPhase LunarPhaseAt(double d);

// The principal phases, as the elongation reaching 0, 90, 180 and 270 degrees.
enum PrincipalPhase { kNewMoon, kFirstQuarter, kFullMoon, kLastQuarter };

// The first instant at or after `d` when the elongation reaches the phase's
// angle, solved to well within a second.
double NextPrincipalPhase(double d, PrincipalPhase phase);
