// The settings store: place, hemispheres and modes kept in the profile section
// ORBEL32 between runs.
#pragma once

#include <cstdint>

// What the profile keeps, as the program reads it.
struct StoredSettings {
  int32_t LatitudeDeg, LatitudeMin, LatitudeSec;  // the place as typed
  int32_t LongitudeDeg, LongitudeMin, LongitudeSec;
  int32_t ManualTime;      // 1: zone, daylight saving and date entered by hand
  int32_t DaylightSaving;  // 1: daylight saving
  int32_t East;            // 1: eastern longitude
  int32_t North;           // 1: northern latitude
};

// Reads the ten profile keys; absent keys give the built-in place
// 48° 44' 36'' N, 9° 18' 27'' E in system-time mode without daylight saving.
StoredSettings ReadSettings();

// Writes the ten profile keys: the six place texts as they stand (fields 101 to
// 106 in id order) and the check states of the daylight box, the system-time
// box and the "Ost" and "Nord" buttons.
void SaveSettings(const char* longitudeDeg, const char* longitudeMin, const char* longitudeSec,
                  const char* latitudeDeg, const char* latitudeMin, const char* latitudeSec,
                  bool daylightSaving, bool systemTime, bool east, bool north);
