#include "ppm_file.h"

#include <string>

#include "whole_file.h"

namespace orbel {

void WritePpmFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
  std::string bytes = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  bytes.append(rgb.begin(), rgb.end());
  WriteWholeFile(path, bytes);
}

}  // namespace orbel
