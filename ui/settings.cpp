#include "settings.h"

#include <windows.h>

namespace {
const char kSection[] = "ORBEL32";
}

SettingsRecord Settings = {0, 0, 0, 0, 0, 0, -3, 0, 0, 0, 0, 14, 12, 1999};

void LoadSettings() {
  Settings.LongitudeDeg = GetProfileIntA(kSection, "LG", 9);
  Settings.LongitudeMin = GetProfileIntA(kSection, "LM", 18);
  Settings.LongitudeSec = GetProfileIntA(kSection, "LS", 27);
  Settings.LatitudeDeg = GetProfileIntA(kSection, "BG", 48);
  Settings.LatitudeMin = GetProfileIntA(kSection, "BM", 44);
  Settings.LatitudeSec = GetProfileIntA(kSection, "BS", 36);
  // "SystemZeit" stores the opposite of ManualTime; only 1 means system time.
  Settings.ManualTime = GetProfileIntA(kSection, "SystemZeit", 1) != 1 ? 1 : 0;
  Settings.DaylightSaving = GetProfileIntA(kSection, "SommerZeit", 0) != 0 ? 1 : 0;
  Settings.North = GetProfileIntA(kSection, "North", 1) != 0 ? 1 : 0;
  Settings.East = GetProfileIntA(kSection, "East", 1) != 0 ? 1 : 0;
}

void SaveSettings(const char* longitudeDeg, const char* longitudeMin, const char* longitudeSec,
                  const char* latitudeDeg, const char* latitudeMin, const char* latitudeSec,
                  bool daylightSaving, bool systemTime, bool east, bool north) {
  WriteProfileStringA(kSection, "LG", longitudeDeg);
  WriteProfileStringA(kSection, "LM", longitudeMin);
  WriteProfileStringA(kSection, "LS", longitudeSec);
  WriteProfileStringA(kSection, "BG", latitudeDeg);
  WriteProfileStringA(kSection, "BM", latitudeMin);
  WriteProfileStringA(kSection, "BS", latitudeSec);
  WriteProfileStringA(kSection, "SommerZeit", daylightSaving ? "1" : "0");
  WriteProfileStringA(kSection, "SystemZeit", systemTime ? "1" : "0");
  WriteProfileStringA(kSection, "East", east ? "1" : "0");
  WriteProfileStringA(kSection, "North", north ? "1" : "0");
}
