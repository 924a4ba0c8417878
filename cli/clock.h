// The system clock, reduced to the date the tool reports by default.
#pragma once

#include "place.h"

namespace orbel {

// The local calendar date now.
Date Today();

}  // namespace orbel
