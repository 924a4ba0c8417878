// The dialog's settings: the start values of its fields and buttons, and the
// modes it is in, loaded from the settings store at start.
#pragma once

#include <cstdint>

#include "settings.h"

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

// Reads the ten profile keys into Settings (see ReadSettings); the zone and the
// date keep their values.
void LoadSettings();
