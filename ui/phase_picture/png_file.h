// Pictures as PNG files, through libpng.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orbel {

// Whether this build writes PNG files (it does when libpng was found).
bool CanWritePng();

// Writes 8-bit pixels, RGB (3 channels) or RGBA (4), row-major with the top
// row first, as a PNG file. Throws std::runtime_error when the file cannot be
// written, and in a build that writes no PNG.
void WritePngFile(const std::string& path, int width, int height, int channels,
                  const std::vector<uint8_t>& pixels);

}  // namespace orbel
