// Drawing on the pixel rasters behind device contexts, with Win32's pixel
// rules: Rectangle, SetPixel and GetPixel, ExtFloodFill and StretchBlt.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "gdi.h"

namespace standin {
namespace internal {

namespace {

// A monochrome raster stores black or white: the nearer by brightness.
COLORREF Store(const Surface* s, COLORREF c) {
  c &= 0x00FFFFFF;
  if (!s->monochrome) return c;
  int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
  return sum >= 384 ? RGB(255, 255, 255) : RGB(0, 0, 0);
}

bool Inside(const Surface* s, int x, int y) {
  return x >= 0 && y >= 0 && x < s->width && y < s->height;
}

COLORREF& At(Surface* s, int x, int y) {
  return s->pixels[static_cast<size_t>(y) * static_cast<size_t>(s->width) + static_cast<size_t>(x)];
}

void FillArea(Surface* s, int left, int top, int right, int bottom, COLORREF color) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, s->width);
  bottom = std::min(bottom, s->height);
  COLORREF c = Store(s, color);
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) At(s, x, y) = c;
  }
}

// A brush handle may also be a system colour index plus one.
bool BrushColor(HBRUSH brush, COLORREF* color) {
  uintptr_t v = reinterpret_cast<uintptr_t>(brush);
  if (v > 0 && v <= 31) {
    *color = GetSysColor(static_cast<int>(v - 1));
    return true;
  }
  GdiObject* o = Obj(brush);
  if (!o || o->type != OBJ_BRUSH || o->style == BS_NULL) return false;
  *color = o->color;
  return true;
}

// Pixels one axis of a blit touches, in order. A positive extent w from x
// covers x, x+1, ..., x+w-1. A negative extent covers the same rectangle
// x+w .. x-1 read from its far end: x-1, x-2, ..., x+w. So a copy whose source
// and destination extents differ in sign mirrors the rectangle, and the phase
// picture's StretchBlt(target, x, y, 2r, 2r, raster, 2r, 0, -2r, 2r) gives
// target column x + k the raster column 2r - 1 - k.
int AxisPixel(int origin, int extent, int k) {
  return extent > 0 ? origin + k : origin - 1 - k;
}

COLORREF ApplyRop(DWORD rop, COLORREF src, COLORREF dst, COLORREF pattern) {
  switch (rop) {
    case SRCCOPY:
      return src;
    case NOTSRCCOPY:
      return ~src & 0x00FFFFFF;
    case SRCPAINT:
      return src | dst;
    case SRCAND:
      return src & dst;
    case SRCINVERT:
      return src ^ dst;
    case PATCOPY:
      return pattern;
    case DSTINVERT:
      return ~dst & 0x00FFFFFF;
    case BLACKNESS:
      return RGB(0, 0, 0);
    case WHITENESS:
      return RGB(255, 255, 255);
    default:
      return dst;
  }
}

bool RopUsesSource(DWORD rop) {
  return rop == SRCCOPY || rop == NOTSRCCOPY || rop == SRCPAINT || rop == SRCAND ||
         rop == SRCINVERT;
}

bool RopKnown(DWORD rop) {
  return RopUsesSource(rop) || rop == PATCOPY || rop == DSTINVERT || rop == BLACKNESS ||
         rop == WHITENESS;
}

}  // namespace

}  // namespace internal
}  // namespace standin

using namespace standin::internal;

// Covers the pixels [left, right) x [top, bottom): the pen draws the outermost
// ring of them, the brush fills the rest. Without a pen the filled area is one
// pixel smaller on the right and bottom, as on Windows.
extern "C" BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom) {
  DeviceContext* d = Dc(dc);
  if (!d) return FALSE;
  Surface* s = SurfaceOf(dc);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (!s) return TRUE;
  GdiObject* pen = Obj(d->pen);
  bool has_pen = pen && pen->style != PS_NULL;
  COLORREF fill = 0;
  bool has_brush = BrushColor(static_cast<HBRUSH>(d->brush), &fill);
  if (!has_pen) {
    if (has_brush) FillArea(s, left, top, right - 1, bottom - 1, fill);
    return TRUE;
  }
  if (has_brush) FillArea(s, left + 1, top + 1, right - 1, bottom - 1, fill);
  if (right - left >= 1 && bottom - top >= 1) {
    FillArea(s, left, top, right, top + 1, pen->color);
    FillArea(s, left, bottom - 1, right, bottom, pen->color);
    FillArea(s, left, top, left + 1, bottom, pen->color);
    FillArea(s, right - 1, top, right, bottom, pen->color);
  }
  return TRUE;
}

extern "C" COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
  Surface* s = SurfaceOf(dc);
  if (!s || !Inside(s, x, y)) return CLR_INVALID;
  COLORREF stored = Store(s, color);
  At(s, x, y) = stored;
  return stored;
}

extern "C" COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
  Surface* s = SurfaceOf(dc);
  if (!s || !Inside(s, x, y)) return CLR_INVALID;
  return At(s, x, y);
}

// Fills, with the current brush, the area of pixels connected to the seed
// through shared edges (never corners): with FLOODFILLSURFACE the pixels of
// `color`, with FLOODFILLBORDER the pixels other than `color`. A seed outside
// that area (or outside the raster) changes nothing and returns FALSE.
extern "C" BOOL WINAPI ExtFloodFill(HDC dc, int x, int y, COLORREF color, UINT type) {
  DeviceContext* d = Dc(dc);
  Surface* s = SurfaceOf(dc);
  if (!d || !s || !Inside(s, x, y)) return FALSE;
  COLORREF fill = 0;
  if (!BrushColor(static_cast<HBRUSH>(d->brush), &fill)) return FALSE;
  COLORREF key = Store(s, color);
  bool surface = type == FLOODFILLSURFACE;
  auto member = [&](int px, int py) {
    bool same = At(s, px, py) == key;
    return surface ? same : !same;
  };
  if (!member(x, y)) return FALSE;
  COLORREF paint = Store(s, fill);
  std::vector<bool> seen(static_cast<size_t>(s->width) * static_cast<size_t>(s->height), false);
  std::vector<POINT> stack{{x, y}};
  seen[static_cast<size_t>(y) * s->width + x] = true;
  while (!stack.empty()) {
    POINT p = stack.back();
    stack.pop_back();
    At(s, p.x, p.y) = paint;
    const POINT next[4] = {{p.x + 1, p.y}, {p.x - 1, p.y}, {p.x, p.y + 1}, {p.x, p.y - 1}};
    for (const POINT& q : next) {
      if (!Inside(s, q.x, q.y)) continue;
      size_t i = static_cast<size_t>(q.y) * s->width + q.x;
      if (seen[i] || !member(q.x, q.y)) continue;
      seen[i] = true;
      stack.push_back(q);
    }
  }
  return TRUE;
}

// Nearest-neighbour stretching; destination pixel k of an axis takes source
// pixel k * |source extent| / |destination extent|. Source pixels outside the
// source raster leave their destination pixels unchanged.
extern "C" BOOL WINAPI StretchBlt(HDC dst, int x_dst, int y_dst, int width_dst, int height_dst,
                                  HDC src, int x_src, int y_src, int width_src, int height_src,
                                  DWORD rop) {
  DeviceContext* dd = Dc(dst);
  if (!dd || !RopKnown(rop)) return FALSE;
  bool uses_source = RopUsesSource(rop);
  if (width_dst == 0 || height_dst == 0) return FALSE;
  if (uses_source && (!Dc(src) || width_src == 0 || height_src == 0)) return FALSE;
  Surface* d = SurfaceOf(dst);
  if (!d) return TRUE;
  if (!uses_source) {
    width_src = width_dst;
    height_src = height_dst;
  }
  Surface* s = uses_source ? SurfaceOf(src) : nullptr;
  if (uses_source && !s) return TRUE;
  // Copy the source first so that a blit within one raster reads unchanged pixels.
  Surface source_copy;
  if (s) source_copy = *s;
  COLORREF pattern = 0;
  BrushColor(static_cast<HBRUSH>(dd->brush), &pattern);
  const int wd = std::abs(width_dst), hd = std::abs(height_dst);
  const int ws = std::abs(width_src), hs = std::abs(height_src);
  for (int ky = 0; ky < hd; ++ky) {
    int ty = AxisPixel(y_dst, height_dst, ky);
    int sy = AxisPixel(y_src, height_src, static_cast<int>(static_cast<long long>(ky) * hs / hd));
    for (int kx = 0; kx < wd; ++kx) {
      int tx = AxisPixel(x_dst, width_dst, kx);
      if (!Inside(d, tx, ty)) continue;
      int sx = AxisPixel(x_src, width_src, static_cast<int>(static_cast<long long>(kx) * ws / wd));
      COLORREF sv = 0;
      if (s) {
        if (!Inside(&source_copy, sx, sy)) continue;
        sv = At(&source_copy, sx, sy);
      }
      At(d, tx, ty) = Store(d, ApplyRop(rop, sv, At(d, tx, ty), pattern));
    }
  }
  return TRUE;
}
