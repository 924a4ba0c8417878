#include "phase_drawing.h"

#include "calendar.h"
#include "portable_math.h"

namespace {

const int kSamples = 1000;
const double kSampleStep = 0.006283185307179587;  // nearest double to 2*pi/1000
const double kFifteenth = 0.06666666666666667;    // nearest double to 1/15

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kGrey = RGB(128, 128, 128);

// Offset of the terminator circle's centre, in radii: positive (to the right
// in the raster) while waxing, negative while waning.
double TerminatorShift(int age) {
  if (age < 15) return age * 1.98 * kFifteenth;
  const int waning = age - 15;
  return -((15 - waning) * 1.98 * kFifteenth);
}

void FillWith(HDC surface, HBRUSH brush, int x, int y) {
  SelectObject(surface, brush);
  ExtFloodFill(surface, x, y, kWhite, FLOODFILLSURFACE);
}

}  // namespace

void DrawMoonPhase(HDC target, int x, int y, int radius, int age) {
  const int r = radius;
  const int size = 2 * r;

  HDC surface = CreateCompatibleDC(target);
  HBITMAP raster = CreateCompatibleBitmap(target, size, size);
  SelectObject(surface, raster);
  HGDIOBJ originalPen = SelectObject(surface, GetStockObject(WHITE_PEN));
  HGDIOBJ originalBrush = SelectObject(surface, GetStockObject(WHITE_BRUSH));
  Rectangle(surface, 0, 0, size, size);

  if (age > 30) age = 30;
  const double b = TerminatorShift(age);

  // Outline samples relative to the centre; the angle is accumulated.
  double limbX[kSamples], limbY[kSamples], termX[kSamples], termY[kSamples];
  double t = 0;
  for (int i = 0; i < kSamples; ++i) {
    limbX[i] = r * pmath::Cos(t);
    limbY[i] = r * pmath::Sin(t);
    termX[i] = r * pmath::Cos(t) + r * b;
    termY[i] = r * pmath::Sin(t);
    t = t + kSampleStep;
  }
  for (int i = 0; i < kSamples; ++i) {
    SetPixel(surface, TruncToInt(r + limbX[i]), TruncToInt(r + limbY[i]), kBlack);
  }
  // Only the part of the terminator circle inside the limb is drawn.
  for (int i = 0; i < kSamples; ++i) {
    if (termX[i] * termX[i] + termY[i] * termY[i] < limbX[i] * limbX[i] + limbY[i] * limbY[i]) {
      SetPixel(surface, TruncToInt(r + termX[i]), TruncToInt(r + termY[i]), kBlack);
    }
  }

  // Left area (between limb and terminator) and right area, before mirroring.
  COLORREF first = kYellow, second = kGrey;  // waxing, and negative ages
  if (age == 0) {
    first = kGrey;
  } else if (age == 15) {
    second = kYellow;
  } else if (age >= 16) {
    first = kGrey;
    second = kYellow;
  }
  HBRUSH firstBrush = CreateSolidBrush(first);
  HBRUSH secondBrush = CreateSolidBrush(second);
  HBRUSH blackBrush = CreateSolidBrush(kBlack);
  FillWith(surface, firstBrush, 2, r);
  FillWith(surface, secondBrush, size - 2, r);
  FillWith(surface, blackBrush, 0, 0);
  FillWith(surface, blackBrush, 0, size - 1);
  FillWith(surface, blackBrush, size - 1, size - 1);
  FillWith(surface, blackBrush, size - 1, 0);

  // A brush still selected into a device context cannot be deleted, and would
  // leak one GDI object per tick: select the originals back first.
  SelectObject(surface, originalBrush);
  SelectObject(surface, originalPen);
  DeleteObject(firstBrush);
  DeleteObject(secondBrush);
  DeleteObject(blackBrush);

  // Copied mirrored left to right: target column x + k gets raster column
  // 2r - 1 - k.
  StretchBlt(target, x, y, size, size, surface, size, 0, -size, size, SRCCOPY);

  DeleteDC(surface);
  DeleteObject(raster);
}
