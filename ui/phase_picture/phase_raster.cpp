#include "phase_raster.h"

#include <windows.h>

#include "phase_drawing.h"

namespace orbel {

// Draws through the same GDI calls as the dialog, on a memory surface that
// takes the screen's format, and reads the pixels back.
RgbImage RenderMoonPhase(int32_t age, int radius) {
  const int size = 2 * radius;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DrawMoonPhase(dc, 0, 0, radius, age);
  RgbImage image;
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

}  // namespace orbel
