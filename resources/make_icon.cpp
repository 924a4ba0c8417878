// Writes the program's icon: the moon picture of a ten-day-old moon drawn by
// DrawMoonPhase, transparent outside the disk. As a 64 x 64 icon with 256
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

#include "moon_phase.h"
#include "phase.h"

namespace {

const int kIconSize = 64;
const int kMinPngSize = 48;
const int kMaxPngSize = 1024;
const int kAge = 10;

// The picture's four colours; index 0 (black) outside the disk is transparent.
const COLORREF kPalette[4] = {RGB(0, 0, 0), RGB(255, 255, 0), RGB(128, 128, 128),
                              RGB(255, 255, 255)};

struct Picture {
  int size = 0;
  std::vector<uint8_t> indices;  // into kPalette, row-major, top row first
  std::vector<bool> transparent;
};

Picture Draw(int size) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DrawMoonPhase(dc, 0, 0, size / 2, kAge);

  Picture picture;
  picture.size = size;
  picture.indices.resize(static_cast<size_t>(size) * size);
  picture.transparent.resize(static_cast<size_t>(size) * size);
  const double centre = size / 2 - 0.5;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      uint8_t index = 0;
      for (uint8_t i = 0; i < 4; ++i) {
        if (kPalette[i] == c) index = i;
      }
      const size_t at = static_cast<size_t>(y) * size + x;
      picture.indices[at] = index;
      const double dx = x - centre, dy = y - centre;
      picture.transparent[at] = index == 0 && dx * dx + dy * dy > (size / 2.0) * (size / 2.0);
    }
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return picture;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The .ico file: one 256-colour image with its transparency mask.
std::vector<uint8_t> IconFile(const Picture& picture) {
  const int kSize = picture.size;
  const uint32_t xorBytes = kSize * kSize;
  const uint32_t andBytes = kSize * 8;  // 64 bits a row, already a multiple of 4 bytes
  const uint32_t imageBytes = 40 + 256 * 4 + xorBytes + andBytes;

  std::vector<uint8_t> out;
  Put16(out, 0);  // icon directory
  Put16(out, 1);
  Put16(out, 1);
  out.push_back(kSize);  // directory entry
  out.push_back(kSize);
  out.push_back(0);  // 256 colours
  out.push_back(0);
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, imageBytes);
  Put32(out, 22);
  Put32(out, 40);  // BITMAPINFOHEADER; the height counts the colour and mask rows
  Put32(out, kSize);
  Put32(out, kSize * 2);
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);
  Put32(out, xorBytes + andBytes);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 256);
  Put32(out, 0);
  for (int i = 0; i < 256; ++i) {
    const COLORREF c = i < 4 ? kPalette[i] : RGB(0, 0, 0);
    out.push_back(GetBValue(c));
    out.push_back(GetGValue(c));
    out.push_back(GetRValue(c));
    out.push_back(0);
  }
  for (int y = kSize - 1; y >= 0; --y) {  // rows bottom-up
    for (int x = 0; x < kSize; ++x) out.push_back(picture.indices[y * kSize + x]);
  }
  for (int y = kSize - 1; y >= 0; --y) {
    for (int byte = 0; byte < 8; ++byte) {
      uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        if (picture.transparent[y * kSize + byte * 8 + bit])
          bits |= static_cast<uint8_t>(0x80 >> bit);
      }
      out.push_back(bits);
    }
  }

  return out;
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
      std::fclose(file) != 0) {
    std::perror(path);
    return false;
  }
  return true;
}

// 8-bit RGBA, fully transparent outside the disk.
bool WritePng(const Picture& picture, const char* path) {
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
  if (argc == 2 && argv[1][0] != '-') return WriteFile(argv[1], IconFile(Draw(kIconSize))) ? 0 : 1;
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
