// The settings store: place, hemispheres and modes kept in the profile section
// ORBEL32 between runs.
#pragma once

#include <cstdint>

struct SettingsRecord {
  int32_t LatitudeDeg;
  int32_t LatitudeMin;
  int32_t LatitudeSec;
  int32_t LongitudeDeg;
  int32_t LongitudeMin;
  int32_t LongitudeSec;
  int32_t Zone;            // start value of the zone field, hours
  int32_t ManualTime;      // 1: zone, daylight saving and date entered by hand
  int32_t DaylightSaving;  // start state of the daylight-saving box
  int32_t East;            // 1: eastern longitude
  int32_t North;           // 1: northern latitude
  int8_t Day;              // start values of the date fields
  int8_t Month;
  int32_t Year;
};

// The one settings record of the program.
extern SettingsRecord Settings;

// Reads the ten profile keys into Settings; absent keys give the built-in place
// 48° 44' 36'' N, 9° 18' 27'' E in system-time mode without daylight saving.
void LoadSettings();

// Writes the ten profile keys: the six place texts as they stand (fields 101 to
// 106 in id order) and the check states of the daylight box, the system-time
// box and the "Ost" and "Nord" buttons.
void SaveSettings(const char* longitudeDeg, const char* longitudeMin, const char* longitudeSec,
                  const char* latitudeDeg, const char* latitudeMin, const char* latitudeSec,
                  bool daylightSaving, bool systemTime, bool east, bool north);
