#include "ppm_file.h"

#include <cstdio>
#include <utility>

#include "output_file.h"

namespace orbel {

void WritePpmFile(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
  picture_files::File file = picture_files::OpenForWriting(path);
  std::fprintf(file.get(), "P6\n%d %d\n255\n", width, height);
  std::fwrite(rgb.data(), 1, rgb.size(), file.get());
  picture_files::Finish(std::move(file), path);
}

}  // namespace orbel
