// The moon's age in whole days for a civil date.
#pragma once

#include <cstdint>

// Days since the last mean new moon, 0 to 29, for the civil date (Julian
// calendar up to 4 October 1582, Gregorian from 15 October 1582). Time of day,
// place and zone do not enter. Shifted years beyond 5,874,777 leave the 32-bit
// range of the day count and may give values outside 0 to 29.
int32_t MoonAge(uint8_t day, uint8_t month, uint32_t year);
