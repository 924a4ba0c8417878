// Writes the program's icon: the moon picture of a ten-day-old moon as the
// dialog draws it, transparent outside the disk. As a 64 x 64 icon with 256
// colours for the Windows program, or as a PNG of any size from 48 pixels up
// for the Linux desktop (smaller radii do not draw the picture's outline
// correctly).
//   make_icon OUTPUT.ico
//   make_icon --png SIZE OUTPUT.png
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <exception>

#include "ico_file.h"
#include "phase_raster.h"
#include "png_file.h"

namespace {

const int kIconSize = 64;
const int kMinPngSize = 48;
const int kMaxPngSize = 1024;
const int kAge = 10;

// The picture's four colours; index 0 (black) outside the disk is transparent.
const COLORREF kPalette[4] = {RGB(0, 0, 0), RGB(255, 255, 0), RGB(128, 128, 128),
                              RGB(255, 255, 255)};

orbel::IndexedIcon Draw(int size) {
  const orbel::RgbImage image = orbel::RenderMoonPhase(kAge, size / 2);

  orbel::IndexedIcon picture;
  picture.size = size;
  picture.palette.assign(kPalette, kPalette + 4);
  picture.indices.resize(static_cast<size_t>(size) * size);
  picture.transparent.resize(static_cast<size_t>(size) * size);
  const double centre = size / 2 - 0.5;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const size_t at = static_cast<size_t>(y) * size + x;
      const COLORREF c = RGB(image.rgb[3 * at], image.rgb[3 * at + 1], image.rgb[3 * at + 2]);
      uint8_t index = 0;
      for (uint8_t i = 0; i < 4; ++i) {
        if (kPalette[i] == c) index = i;
      }
      picture.indices[at] = index;
      const double dx = x - centre, dy = y - centre;
      picture.transparent[at] = index == 0 && dx * dx + dy * dy > (size / 2.0) * (size / 2.0);
    }
  }
  return picture;
}

bool WriteIcon(const orbel::IndexedIcon& picture, const char* path) {
  try {
    orbel::WriteIcoFile(path, picture);
    return true;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return false;
  }
}

// 8-bit RGBA, fully transparent outside the disk.
bool WritePng(const orbel::IndexedIcon& picture, const char* path) {
  std::vector<uint8_t> rgba;
  rgba.reserve(picture.indices.size() * 4);
  for (size_t i = 0; i < picture.indices.size(); ++i) {
    const COLORREF c = kPalette[picture.indices[i]];
    rgba.push_back(GetRValue(c));
    rgba.push_back(GetGValue(c));
    rgba.push_back(GetBValue(c));
    rgba.push_back(picture.transparent[i] ? 0 : 255);
  }
  try {
    orbel::WritePngFile(path, picture.size, picture.size, 4, rgba);
    return true;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_icon: %s\n", e.what());
    return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && argv[1][0] != '-') return WriteIcon(Draw(kIconSize), argv[1]) ? 0 : 1;
  if (argc == 4 && std::strcmp(argv[1], "--png") == 0) {
    char* end = nullptr;
    const long size = std::strtol(argv[2], &end, 10);
    if (*end != '\0' || size < kMinPngSize || size > kMaxPngSize || size % 2 != 0) {
      std::fprintf(stderr, "make_icon: the size must be an even number of pixels, %d to %d\n",
                   kMinPngSize, kMaxPngSize);
      return 2;
    }
    return WritePng(Draw(static_cast<int>(size)), argv[3]) ? 0 : 1;
  }
  std::fprintf(stderr, "usage: make_icon OUTPUT.ico | make_icon --png SIZE OUTPUT.png\n");
  return 2;
}
