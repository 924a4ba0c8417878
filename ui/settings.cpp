#include "settings.h"

#include <windows.h>

namespace {
const char kSection[] = "ORBEL32";
}

StoredSettings ReadSettings() {
  StoredSettings stored{};
  stored.LongitudeDeg = GetProfileIntA(kSection, "LG", 9);
  stored.LongitudeMin = GetProfileIntA(kSection, "LM", 18);
  stored.LongitudeSec = GetProfileIntA(kSection, "LS", 27);
  stored.LatitudeDeg = GetProfileIntA(kSection, "BG", 48);
  stored.LatitudeMin = GetProfileIntA(kSection, "BM", 44);
  stored.LatitudeSec = GetProfileIntA(kSection, "BS", 36);
  // "SystemZeit" stores the opposite of ManualTime; only 1 means system time.
  stored.ManualTime = GetProfileIntA(kSection, "SystemZeit", 1) != 1 ? 1 : 0;
  stored.DaylightSaving = GetProfileIntA(kSection, "SommerZeit", 0) != 0 ? 1 : 0;
  stored.North = GetProfileIntA(kSection, "North", 1) != 0 ? 1 : 0;
  stored.East = GetProfileIntA(kSection, "East", 1) != 0 ? 1 : 0;
  return stored;
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
