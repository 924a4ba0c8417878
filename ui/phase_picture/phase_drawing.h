// The moon-phase picture: the lit part yellow, the dark part grey, on black.
#pragma once

#include <windows.h>

// Draws the phase of a moon of the given age (days) as a 2*radius square at
// (x, y) of the target. Ages above 30 count as 30.
void DrawMoonPhase(HDC target, int x, int y, int radius, int age);
