#include "phase.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#ifdef ORBEL_HAVE_PNG
#include <png.h>
#endif

#include "moon_phase.h"
#include "error.h"

namespace orbel {

namespace {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // row-major, 3 bytes a pixel
};

// Renders through the same GDI calls as the dialog, on a memory surface.
Image Render(int32_t age, int radius) {
  const int size = 2 * radius;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DrawMoonPhase(dc, 0, 0, radius, age);
  Image image;
  image.width = size;
  image.height = size;
  image.rgb.reserve(static_cast<size_t>(size) * size * 3);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      image.rgb.push_back(GetRValue(c));
      image.rgb.push_back(GetGValue(c));
      image.rgb.push_back(GetBValue(c));
    }
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return image;
}

struct FileCloser {
  void operator()(FILE* f) const {
    if (f != nullptr) std::fclose(f);
  }
};
using File = std::unique_ptr<FILE, FileCloser>;

File OpenForWriting(const std::string& path) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
  return file;
}

void Finish(File file, const std::string& path) {
  const bool failed = std::ferror(file.get()) != 0;
  if (std::fclose(file.release()) != 0 || failed) {
    throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
  }
}

void WritePpm(const Image& image, const std::string& path) {
  File file = OpenForWriting(path);
  std::fprintf(file.get(), "P6\n%d %d\n255\n", image.width, image.height);
  std::fwrite(image.rgb.data(), 1, image.rgb.size(), file.get());
  Finish(std::move(file), path);
}

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

void WritePngFile(const std::string& path, int width, int height, int channels,
                  const std::vector<uint8_t>& pixels) {
#ifdef ORBEL_HAVE_PNG
  File file = OpenForWriting(path);
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
  Finish(std::move(file), path);
#else
  (void)width, (void)height, (void)channels, (void)pixels;
  throw InputError("this build writes no PNG: " + path);
#endif
}

void WritePhasePicture(int32_t age, int radius, const std::string& path) {
  if (radius < 1 || radius > kMaxRadius) {
    throw InputError("radius must be 1 to " + std::to_string(kMaxRadius));
  }
  const bool png = EndsWith(path, ".png");
  if (!png && !EndsWith(path, ".ppm")) {
    throw InputError("the output file must end in .png or .ppm");
  }
#ifndef ORBEL_HAVE_PNG
  if (png) throw InputError("this build writes PPM only");
#endif
  const Image image = Render(age, radius);
#ifdef ORBEL_HAVE_PNG
  if (png) {
    WritePngFile(path, image.width, image.height, 3, image.rgb);
    return;
  }
#endif
  WritePpm(image, path);
}

}  // namespace orbel
