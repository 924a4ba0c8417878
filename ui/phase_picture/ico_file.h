// Pictures as Windows icon files (.ico): one 256-colour image with its
// transparency mask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orbel {

// A square picture of palette indices, row-major with the top row first.
struct IndexedIcon {
  int size = 0;                   // pixels a side, 1 to 256
  std::vector<uint32_t> palette;  // up to 256 colours, 0x00BBGGRR; the rest are black
  std::vector<uint8_t> indices;   // size * size
  std::vector<bool> transparent;  // size * size: the pixels the mask leaves out
};

// The bytes of the .ico file.
std::vector<uint8_t> IcoFile(const IndexedIcon& icon);

// Writes the .ico file. Throws std::runtime_error "PATH: REASON" when the file
// cannot be written.
void WriteIcoFile(const std::string& path, const IndexedIcon& icon);

}  // namespace orbel
