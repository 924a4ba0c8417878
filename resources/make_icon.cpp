// Writes the program's icon: the moon picture of a ten-day-old moon drawn by
// DrawMoonPhase, as a 64 x 64 icon with 256 colours, transparent outside the
// disk. Usage: make_icon OUTPUT.ico
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "moon_phase.h"

namespace {

const int kSize = 64;
const int kAge = 10;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
    return 2;
  }

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, kSize, kSize);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DrawMoonPhase(dc, 0, 0, kSize / 2, kAge);

  // Palette: the picture's four colours, the rest black.
  const COLORREF palette[4] = {RGB(0, 0, 0), RGB(255, 255, 0), RGB(128, 128, 128),
                               RGB(255, 255, 255)};
  std::vector<uint8_t> indices(kSize * kSize);
  std::vector<bool> transparent(kSize * kSize);
  const double centre = kSize / 2 - 0.5;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      uint8_t index = 0;
      for (uint8_t i = 0; i < 4; ++i) {
        if (palette[i] == c) index = i;
      }
      indices[y * kSize + x] = index;
      const double dx = x - centre, dy = y - centre;
      transparent[y * kSize + x] = index == 0 && dx * dx + dy * dy > (kSize / 2.0) * (kSize / 2.0);
    }
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);

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
    const COLORREF c = i < 4 ? palette[i] : RGB(0, 0, 0);
    out.push_back(GetBValue(c));
    out.push_back(GetGValue(c));
    out.push_back(GetRValue(c));
    out.push_back(0);
  }
  for (int y = kSize - 1; y >= 0; --y) {  // rows bottom-up
    for (int x = 0; x < kSize; ++x) out.push_back(indices[y * kSize + x]);
  }
  for (int y = kSize - 1; y >= 0; --y) {
    for (int byte = 0; byte < 8; ++byte) {
      uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        if (transparent[y * kSize + byte * 8 + bit]) bits |= static_cast<uint8_t>(0x80 >> bit);
      }
      out.push_back(bits);
    }
  }

  FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size() ||
      std::fclose(file) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
