#include "place.h"

namespace orbel {

Place ChoosePlace(std::optional<double> latitude, std::optional<double> longitude,
                  const std::optional<City>& city, const std::optional<Place>& saved) {
  Place place{kDefaultLatitude, kDefaultLongitude, "default place"};
  if (city) {
    place = Place{city->latitude, city->longitude, city->label.empty() ? city->name : city->label,
                  city->note};
  } else if (saved) {
    place = *saved;
  }
  if (latitude) place.latitude = *latitude;
  if (longitude) place.longitude = *longitude;
  if (latitude && longitude) {
    place.source = "given";
  } else if (latitude || longitude) {
    place.source += latitude ? ", latitude given" : ", longitude given";
  }
  return place;
}

}  // namespace orbel
