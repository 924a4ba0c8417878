// The moon module: moonrise and moonset for one local civil day.
//
// MoonDay is the re-entrant core; the eight queries are wrappers with module
// storage of their own, as the sun's (slot 0 the moonset, slot 1 the moonrise).
#pragma once

#include <cstdint>

#include "day_scan.h"
#include "event_types.h"

// Status codes of the moon module.
enum : int8_t {
  kNoMoonrise = -10,      // a set but no rise on the date
  kNoMoonset = -20,       // a rise but no set on the date
  kMoonDownAllDay = -30,  // no crossing, below the horizon at the end of the day
  kMoonUpAllDay = -40,    // no crossing, above the horizon at the end of the day
};

// The moon's local day from one scan.
BodyDay MoonDay(const DayQuery& query);
// The same scan against the circle where the centre stands `altitude` degrees
// high as seen from the surface (parallax included, no refraction).
BodyDay MoonDayAtAltitude(const DayQuery& query, double altitude);

int MoonriseHour(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                 int8_t zone);
int MoonriseMinute(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                   int8_t zone);
double MoonriseAzimuth(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                       int8_t zone);
int MoonsetHour(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                int8_t zone);
int MoonsetMinute(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                  int8_t zone);
double MoonsetAzimuth(uint8_t day, uint8_t month, uint32_t year, double latitude, double longitude,
                      int8_t zone);
const char* MoonriseText(uint8_t day, uint8_t month, uint32_t year, double latitude,
                         double longitude, int8_t zone);
const char* MoonsetText(uint8_t day, uint8_t month, uint32_t year, double latitude,
                        double longitude, int8_t zone);

// The quadratic through (0, y0), (0.5, y1) and (1, y2), evaluated at p.
double Interpolate3(double p, double y0, double y1, double y2);

// The message of a moon status code, or an empty text for any other code.
const char* MoonStatusMessage(int code);
// The same message copied into the module's status text buffer.
const char* MoonStatusText(int code);
