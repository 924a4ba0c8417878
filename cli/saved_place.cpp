#include "saved_place.h"

#include <windows.h>

#include <cmath>

#include "settings.h"

namespace orbel {

std::optional<Place> SavedPlace() {
  // Absent keys read as the window's defaults; a place counts as saved when
  // any of its six keys is there.
  bool saved = false;
  for (const char* key : {"LG", "LM", "LS", "BG", "BM", "BS"}) {
    char value[8];
    saved = saved || GetProfileStringA("ORBEL32", key, "\x01", value, sizeof value) != 1 ||
            value[0] != '\x01';
  }
  if (!saved) return std::nullopt;
  const StoredSettings stored = ReadSettings();
  // Degrees + minutes/60 + seconds/3600, as the window forms them.
  const auto angle = [](int32_t degrees, int32_t minutes, int32_t seconds) {
    return degrees + minutes * (1.0 / 60) + seconds * (1.0 / 3600);
  };
  Place place{};
  place.latitude = angle(stored.LatitudeDeg, stored.LatitudeMin, stored.LatitudeSec);
  place.longitude = angle(stored.LongitudeDeg, stored.LongitudeMin, stored.LongitudeSec);
  if (stored.North != 1) place.latitude = -place.latitude;
  if (stored.East != 1) place.longitude = -place.longitude;
  if (!(std::fabs(place.latitude) <= 90 && std::fabs(place.longitude) <= 180)) return std::nullopt;
  place.source = "saved by orbel";
  return place;
}

}  // namespace orbel
