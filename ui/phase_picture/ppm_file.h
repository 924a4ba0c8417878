// Pictures as binary PPM files (P6).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orbel {

// Writes 8-bit RGB pixels, row-major with the top row first, as a binary PPM
// file. Throws std::runtime_error when the file cannot be written.
void WritePpmFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace orbel
