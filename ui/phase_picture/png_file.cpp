#include "png_file.h"

#include <stdexcept>
#include <utility>

#ifdef ORBEL_HAVE_PNG
#include <png.h>

#include "output_file.h"
#endif

namespace orbel {

bool CanWritePng() {
#ifdef ORBEL_HAVE_PNG
  return true;
#else
  return false;
#endif
}

void WritePngFile(const std::string& path, int width, int height, int channels,
                  const std::vector<uint8_t>& pixels) {
#ifdef ORBEL_HAVE_PNG
  picture_files::File file = picture_files::OpenForWriting(path);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("cannot write " + path + ": PNG encoding failed");
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    png_write_row(png, pixels.data() + static_cast<size_t>(y) * width * channels);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  picture_files::Finish(std::move(file), path);
#else
  (void)width, (void)height, (void)channels, (void)pixels;
  throw std::runtime_error("this build writes no PNG: " + path);
#endif
}

}  // namespace orbel
