#include "phase.h"

#include <cstring>

#include "error.h"
#include "phase_raster.h"
#include "png_file.h"
#include "ppm_file.h"

namespace orbel {

namespace {

bool EndsWith(const std::string& text, const char* suffix) {
  const size_t n = std::strlen(suffix);
  if (text.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    const char c = text[text.size() - n + i];
    if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != suffix[i]) return false;
  }
  return true;
}

}  // namespace

void WritePhasePicture(int32_t age, int radius, const std::string& path) {
  if (radius < 1 || radius > kMaxRadius) {
    throw InputError("radius must be 1 to " + std::to_string(kMaxRadius));
  }
  const bool png = EndsWith(path, ".png");
  if (!png && !EndsWith(path, ".ppm")) {
    throw InputError("the output file must end in .png or .ppm");
  }
  if (png && !CanWritePng()) throw InputError("this build writes PPM only");
  const RgbImage image = RenderMoonPhase(age, radius);
  if (png) {
    WritePngFile(path, image.width, image.height, 3, image.rgb);
  } else {
    WritePpmFile(path, image.width, image.height, image.rgb);
  }
}

}  // namespace orbel
