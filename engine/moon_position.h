// The moon's position from a short series over six mean arguments.
#pragma once

// Right ascension and declination (radians) and distance (Earth radii) at day
// count T from J2000.0. The right ascension is the reduced mean longitude plus a
// correction and is not normalised: it may be negative or exceed 2*pi.
void MoonPosition(double T, double& rightAscension, double& declination, double& distance);
