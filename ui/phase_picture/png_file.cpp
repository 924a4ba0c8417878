#include "png_file.h"

#include <stdexcept>
#include <utility>

#ifdef ORBEL_HAVE_PNG
#include <png.h>
#endif

#include "whole_file.h"

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
  // Encoded in memory, then written whole: a failed write names its cause.
  std::string bytes;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (png == nullptr || info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("cannot write " + path + ": PNG encoding failed");
  }
  png_set_write_fn(
      png, &bytes,
      [](png_structp p, png_bytep data, png_size_t size) {
        static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), size);
      },
      [](png_structp) {});
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < height; ++y) {
    png_write_row(png, pixels.data() + static_cast<size_t>(y) * width * channels);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  WriteWholeFile(path, bytes);
#else
  (void)width, (void)height, (void)channels, (void)pixels;
  throw std::runtime_error("this build writes no PNG: " + path);
#endif
}

}  // namespace orbel
