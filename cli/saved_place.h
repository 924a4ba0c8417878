// The place the orbel window last saved, read from its profile as the window
// reads it (section ORBEL32: degrees, minutes and seconds of each angle and the
// hemisphere buttons), so that the command line can answer for that place.
#pragma once

#include <optional>

#include "place.h"

namespace orbel {

// The saved place in signed degrees, or nothing when the profile holds no
// place or one beyond ±90° latitude or ±180° longitude.
std::optional<Place> SavedPlace();

}  // namespace orbel
