// The sun module: sunrise and sunset for one local civil day. SunDay is the
// re-entrant core. The eight queries are wrappers over it with module storage:
// each stores its arguments, rescans the day and reads one slot (0 rise, 1 set);
// a returned text stays valid until the next text query of the same kind.
#pragma once

#include <cstdint>

#include "day_scan.h"
#include "event_types.h"

// Status codes of the sun module.
enum : int8_t {
  kNoSunrise = -1,      // a sunset but no sunrise on the date
  kNoSunset = -2,       // a sunrise but no sunset on the date
  kSunDownAllDay = -3,  // no crossing, below the horizon at the end of the day
  kSunUpAllDay = -4,    // no crossing, above the horizon at the end of the day
};

// Zenith distance in degrees of the circle on which the sun's centre rises and
// sets: 90 degrees plus refraction and the sun's radius. Twilight uses 96, 102
// or 108 degrees (civil, nautical, astronomical).
const double kSunZenithDistance = 90.833;

// The sun's local day from one scan, against the circle at `zenithDistance`
// degrees from the zenith.
BodyDay SunDay(const DayQuery& query, double zenithDistance = kSunZenithDistance);

int SunriseHour(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                int8_t zone);
int SunriseMinute(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                  int8_t zone);
double SunriseAzimuth(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                      int8_t zone);
int SunsetHour(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
               int8_t zone);
int SunsetMinute(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                 int8_t zone);
double SunsetAzimuth(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                     int8_t zone);
const char* SunriseText(uint8_t day, uint8_t month, uint32_t year, double latitude,
                        double longitude, int8_t zone);
const char* SunsetText(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                       int8_t zone);

// The sun's right ascension and declination (radians) at day count d from
// J2000.0. The right ascension is not reduced to [0, 2*pi).
void SunPosition(double d, double& rightAscension, double& declination);

// The message of a sun status code, or an empty text for any other code.
const char* SunStatusMessage(int code);
// The same message copied into the module's status text buffer.
const char* SunStatusText(int code);
