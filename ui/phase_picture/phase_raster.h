// The moon-phase picture as plain pixels, for image files.
#pragma once

#include <cstdint>
#include <vector>

namespace orbel {

// 8-bit RGB pixels, row-major with the top row first, 3 bytes a pixel.
struct RgbImage {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
};

// The picture of a moon of `age` days at `radius` (a 2*radius square), drawn
// by DrawMoonPhase exactly as the dialog draws it. The radius must be at
// least 1.
RgbImage RenderMoonPhase(int32_t age, int radius);

}  // namespace orbel
