#include "ico_file.h"

#include "whole_file.h"

namespace orbel {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Bitmap rows are padded to whole 32-bit words.
uint32_t RowBytes(int pixels, int bitsPerPixel) {
  return (static_cast<uint32_t>(pixels) * bitsPerPixel + 31) / 32 * 4;
}

}  // namespace

std::vector<uint8_t> IcoFile(const IndexedIcon& icon) {
  const int size = icon.size;
  const uint32_t xorRow = RowBytes(size, 8);
  const uint32_t andRow = RowBytes(size, 1);
  const uint32_t xorBytes = xorRow * size;
  const uint32_t andBytes = andRow * size;
  const uint32_t imageBytes = 40 + 256 * 4 + xorBytes + andBytes;

  std::vector<uint8_t> out;
  Put16(out, 0);  // icon directory
  Put16(out, 1);
  Put16(out, 1);
  out.push_back(static_cast<uint8_t>(size));  // directory entry; 256 is written as 0
  out.push_back(static_cast<uint8_t>(size));
  out.push_back(0);  // 256 colours
  out.push_back(0);
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, imageBytes);
  Put32(out, 22);
  Put32(out, 40);  // BITMAPINFOHEADER; the height counts the colour and mask rows
  Put32(out, size);
  Put32(out, size * 2);
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);
  Put32(out, xorBytes + andBytes);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 256);
  Put32(out, 0);
  for (size_t i = 0; i < 256; ++i) {
    const uint32_t c = i < icon.palette.size() ? icon.palette[i] : 0;
    out.push_back(static_cast<uint8_t>(c >> 16));  // blue, green, red, reserved
    out.push_back(static_cast<uint8_t>(c >> 8));
    out.push_back(static_cast<uint8_t>(c));
    out.push_back(0);
  }
  for (int y = size - 1; y >= 0; --y) {  // rows bottom-up
    for (int x = 0; x < size; ++x) out.push_back(icon.indices[static_cast<size_t>(y) * size + x]);
    out.resize(out.size() + xorRow - size, 0);
  }
  for (int y = size - 1; y >= 0; --y) {
    for (uint32_t byte = 0; byte < andRow; ++byte) {
      uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const int x = static_cast<int>(byte) * 8 + bit;
        if (x < size && icon.transparent[static_cast<size_t>(y) * size + x]) {
          bits |= static_cast<uint8_t>(0x80 >> bit);
        }
      }
      out.push_back(bits);
    }
  }
  return out;
}

void WriteIcoFile(const std::string& path, const IndexedIcon& icon) {
  const std::vector<uint8_t> bytes = IcoFile(icon);
  WriteWholeFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace orbel
