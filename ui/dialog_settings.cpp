#include "dialog_settings.h"

SettingsRecord Settings = {0, 0, 0, 0, 0, 0, -3, 0, 0, 0, 0, 14, 12, 1999};

void LoadSettings() {
  const StoredSettings stored = ReadSettings();
  Settings.LongitudeDeg = stored.LongitudeDeg;
  Settings.LongitudeMin = stored.LongitudeMin;
  Settings.LongitudeSec = stored.LongitudeSec;
  Settings.LatitudeDeg = stored.LatitudeDeg;
  Settings.LatitudeMin = stored.LatitudeMin;
  Settings.LatitudeSec = stored.LatitudeSec;
  Settings.ManualTime = stored.ManualTime;
  Settings.DaylightSaving = stored.DaylightSaving;
  Settings.North = stored.North;
  Settings.East = stored.East;
}
