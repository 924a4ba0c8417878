// GDI on pixel rasters: device contexts (window and memory), bitmaps, pens
// and brushes, Rectangle, FillRect, SetPixel/GetPixel, ExtFloodFill, BitBlt
// and StretchBlt, with Win32's pixel rules.
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "internal.h"

namespace standin {
namespace internal {

namespace {

struct GdiObject {
  DWORD type = 0;  // OBJ_PEN, OBJ_BRUSH, OBJ_BITMAP
  COLORREF color = 0;
  int style = 0;  // pen: PS_*, brush: BS_*
  std::shared_ptr<Surface> bitmap;
  int selections = 0;           // device contexts this object is selected into
  bool delete_pending = false;  // DeleteObject while selected: freed when deselected
  bool stock = false;
};

struct DeviceContext {
  bool memory = false;
  HWND window = nullptr;
  HGDIOBJ bitmap = nullptr;
  HGDIOBJ pen = nullptr;
  HGDIOBJ brush = nullptr;
};

struct Gdi {
  std::map<uintptr_t, GdiObject> objects;
  std::map<uintptr_t, DeviceContext> dcs;
  std::map<int, HGDIOBJ> stock;
  HGDIOBJ default_bitmap = nullptr;
};

Gdi& G() {
  static Gdi gdi;
  return gdi;
}

GdiObject* Obj(HGDIOBJ h) {
  auto it = G().objects.find(reinterpret_cast<uintptr_t>(h));
  return it == G().objects.end() ? nullptr : &it->second;
}

DeviceContext* Dc(HDC h) {
  auto it = G().dcs.find(reinterpret_cast<uintptr_t>(h));
  return it == G().dcs.end() ? nullptr : &it->second;
}

HGDIOBJ AddObject(GdiObject o) {
  HGDIOBJ h = reinterpret_cast<HGDIOBJ>(NewHandle());
  G().objects[reinterpret_cast<uintptr_t>(h)] = std::move(o);
  return h;
}

HGDIOBJ Stock(int index) {
  Gdi& g = G();
  auto it = g.stock.find(index);
  if (it != g.stock.end()) return it->second;
  GdiObject o;
  o.stock = true;
  switch (index) {
    case WHITE_BRUSH:
      o = GdiObject{OBJ_BRUSH, RGB(255, 255, 255), BS_SOLID, nullptr, 0, false, true};
      break;
    case LTGRAY_BRUSH:
      o = GdiObject{OBJ_BRUSH, RGB(192, 192, 192), BS_SOLID, nullptr, 0, false, true};
      break;
    case GRAY_BRUSH:
      o = GdiObject{OBJ_BRUSH, RGB(128, 128, 128), BS_SOLID, nullptr, 0, false, true};
      break;
    case DKGRAY_BRUSH:
      o = GdiObject{OBJ_BRUSH, RGB(64, 64, 64), BS_SOLID, nullptr, 0, false, true};
      break;
    case BLACK_BRUSH:
      o = GdiObject{OBJ_BRUSH, RGB(0, 0, 0), BS_SOLID, nullptr, 0, false, true};
      break;
    case NULL_BRUSH:
      o = GdiObject{OBJ_BRUSH, 0, BS_NULL, nullptr, 0, false, true};
      break;
    case WHITE_PEN:
      o = GdiObject{OBJ_PEN, RGB(255, 255, 255), PS_SOLID, nullptr, 0, false, true};
      break;
    case BLACK_PEN:
      o = GdiObject{OBJ_PEN, RGB(0, 0, 0), PS_SOLID, nullptr, 0, false, true};
      break;
    case NULL_PEN:
      o = GdiObject{OBJ_PEN, 0, PS_NULL, nullptr, 0, false, true};
      break;
    default:
      return nullptr;
  }
  HGDIOBJ h = AddObject(o);
  g.stock[index] = h;
  return h;
}

// The 1 x 1 monochrome bitmap that a new memory device context holds.
HGDIOBJ DefaultBitmap() {
  Gdi& g = G();
  if (!g.default_bitmap) {
    GdiObject o;
    o.type = OBJ_BITMAP;
    o.stock = true;
    o.bitmap = std::make_shared<Surface>();
    o.bitmap->width = 1;
    o.bitmap->height = 1;
    o.bitmap->monochrome = true;
    o.bitmap->pixels.assign(1, RGB(0, 0, 0));
    g.default_bitmap = AddObject(o);
  }
  return g.default_bitmap;
}

void Deselect(HGDIOBJ h) {
  GdiObject* o = Obj(h);
  if (!o) return;
  if (o->selections > 0) --o->selections;
  if (o->selections == 0 && o->delete_pending) G().objects.erase(reinterpret_cast<uintptr_t>(h));
}

HDC NewDc(DeviceContext dc) {
  dc.pen = Stock(BLACK_PEN);
  dc.brush = Stock(WHITE_BRUSH);
  Obj(dc.pen)->selections++;
  Obj(dc.brush)->selections++;
  if (dc.memory) {
    dc.bitmap = DefaultBitmap();
    Obj(dc.bitmap)->selections++;
  }
  HDC h = reinterpret_cast<HDC>(NewHandle());
  G().dcs[reinterpret_cast<uintptr_t>(h)] = dc;
  return h;
}

void FreeDc(HDC h) {
  DeviceContext* dc = Dc(h);
  if (!dc) return;
  DeviceContext copy = *dc;
  G().dcs.erase(reinterpret_cast<uintptr_t>(h));
  Deselect(copy.pen);
  Deselect(copy.brush);
  if (copy.bitmap) Deselect(copy.bitmap);
}

Surface* SurfaceOf(HDC h) {
  DeviceContext* dc = Dc(h);
  if (!dc) return nullptr;
  if (dc->memory) {
    GdiObject* b = Obj(dc->bitmap);
    return b ? b->bitmap.get() : nullptr;
  }
  Window* w = W(dc->window);
  return w ? WindowSurface(w) : nullptr;
}

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

Surface* WindowSurface(Window* w) {
  if (!w->surface) {
    RECT client = ClientRectOf(w);
    w->surface = std::make_unique<Surface>();
    w->surface->width = client.right;
    w->surface->height = client.bottom;
    w->surface->pixels.assign(
        static_cast<size_t>(client.right) * static_cast<size_t>(client.bottom),
        GetSysColor(COLOR_BTNFACE));
  }
  return w->surface.get();
}

void ResetGdi() {
  Gdi& g = G();
  g.dcs.clear();
  g.objects.clear();
  g.stock.clear();
  g.default_bitmap = nullptr;
}

int LiveGdiObjectCount() {
  int n = 0;
  for (const auto& [h, o] : G().objects) {
    if (!o.stock && !o.delete_pending) ++n;
  }
  return n;
}

int LiveDcCount() {
  return static_cast<int>(G().dcs.size());
}

}  // namespace internal
}  // namespace standin

using namespace standin::internal;

// The classic Windows 2000 colour scheme; the Linux window paints with it too.
extern "C" DWORD WINAPI GetSysColor(int index) {
  switch (index) {
    case COLOR_WINDOW:
      return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
    case COLOR_MENUTEXT:
    case COLOR_WINDOWFRAME:
      return RGB(0, 0, 0);
    case COLOR_BTNFACE:
    case COLOR_MENU:
    case COLOR_3DLIGHT:
      return RGB(212, 208, 200);
    case COLOR_3DDKSHADOW:
      return RGB(64, 64, 64);
    case COLOR_HIGHLIGHT:
      return RGB(10, 36, 106);
    case COLOR_HIGHLIGHTTEXT:
      return RGB(255, 255, 255);
    case COLOR_BTNSHADOW:
    case COLOR_GRAYTEXT:
      return RGB(128, 128, 128);
    case COLOR_BTNHIGHLIGHT:
      return RGB(255, 255, 255);
    case COLOR_BACKGROUND:
      return RGB(58, 110, 165);
    default:
      return RGB(192, 192, 192);
  }
}

// One shared brush per system colour; like stock objects it is never freed.
extern "C" HBRUSH WINAPI GetSysColorBrush(int index) {
  static std::map<int, HGDIOBJ>* brushes = new std::map<int, HGDIOBJ>;
  auto it = brushes->find(index);
  if (it != brushes->end() && Obj(it->second)) return static_cast<HBRUSH>(it->second);
  GdiObject o;
  o.type = OBJ_BRUSH;
  o.color = GetSysColor(index);
  o.stock = true;
  HGDIOBJ h = AddObject(o);
  (*brushes)[index] = h;
  return static_cast<HBRUSH>(h);
}

extern "C" HDC WINAPI GetDC(HWND hwnd) {
  // GetDC(NULL) gives a screen context with nothing behind it.
  if (hwnd && !W(hwnd)) return nullptr;
  DeviceContext dc;
  dc.window = hwnd;
  return NewDc(dc);
}

extern "C" int WINAPI ReleaseDC(HWND, HDC dc) {
  DeviceContext* d = Dc(dc);
  if (!d || d->memory) return 0;
  FreeDc(dc);
  return 1;
}

extern "C" HDC WINAPI CreateCompatibleDC(HDC dc) {
  if (dc && !Dc(dc)) return nullptr;
  DeviceContext d;
  d.memory = true;
  return NewDc(d);
}

extern "C" BOOL WINAPI DeleteDC(HDC dc) {
  if (!Dc(dc)) return FALSE;
  FreeDc(dc);
  return TRUE;
}

// The raster takes the format of `dc`: a memory context that still holds its
// initial 1 x 1 monochrome bitmap yields a monochrome raster, as on Windows.
extern "C" HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
  DeviceContext* d = Dc(dc);
  if (!d || width < 0 || height < 0 || width > 16384 || height > 16384) return nullptr;
  bool mono = false;
  if (d->memory) {
    GdiObject* b = Obj(d->bitmap);
    mono = b && b->bitmap && b->bitmap->monochrome;
  }
  if (width == 0 || height == 0) {
    width = height = 1;
    mono = true;
  }
  GdiObject o;
  o.type = OBJ_BITMAP;
  o.bitmap = std::make_shared<Surface>();
  o.bitmap->width = width;
  o.bitmap->height = height;
  o.bitmap->monochrome = mono;
  o.bitmap->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), RGB(0, 0, 0));
  return static_cast<HBITMAP>(AddObject(o));
}

extern "C" HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  DeviceContext* d = Dc(dc);
  GdiObject* o = Obj(object);
  if (!d || !o || o->delete_pending) return nullptr;
  HGDIOBJ* slot = nullptr;
  switch (o->type) {
    case OBJ_PEN:
      slot = &d->pen;
      break;
    case OBJ_BRUSH:
      slot = &d->brush;
      break;
    case OBJ_BITMAP:
      // Only memory contexts hold bitmaps, and a bitmap sits in one context at a time.
      if (!d->memory) return nullptr;
      if (o->selections > 0 && d->bitmap != object && !o->stock) return nullptr;
      slot = &d->bitmap;
      break;
    default:
      return nullptr;
  }
  HGDIOBJ previous = *slot;
  if (previous == object) return previous;
  o->selections++;
  *slot = object;
  Deselect(previous);
  return previous;
}

extern "C" BOOL WINAPI DeleteObject(HGDIOBJ object) {
  GdiObject* o = Obj(object);
  if (!o) return FALSE;
  if (o->stock) return TRUE;
  if (o->selections > 0) {
    o->delete_pending = true;
    return TRUE;
  }
  G().objects.erase(reinterpret_cast<uintptr_t>(object));
  return TRUE;
}

extern "C" HGDIOBJ WINAPI GetStockObject(int index) {
  return Stock(index);
}

extern "C" DWORD WINAPI GetObjectType(HGDIOBJ object) {
  if (DeviceContext* d = Dc(static_cast<HDC>(object))) return d->memory ? OBJ_MEMDC : OBJ_DC;
  GdiObject* o = Obj(object);
  return o ? o->type : 0;
}

extern "C" HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  GdiObject o;
  o.type = OBJ_BRUSH;
  o.color = color & 0x00FFFFFF;
  o.style = BS_SOLID;
  return static_cast<HBRUSH>(AddObject(o));
}

// Pens draw one pixel wide whatever width they are given.
extern "C" HPEN WINAPI CreatePen(int style, int, COLORREF color) {
  GdiObject o;
  o.type = OBJ_PEN;
  o.color = color & 0x00FFFFFF;
  o.style = style;
  return static_cast<HPEN>(AddObject(o));
}

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

extern "C" int WINAPI FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  if (!Dc(dc) || !rect) return 0;
  COLORREF color = 0;
  if (!BrushColor(brush, &color)) return 0;
  if (Surface* s = SurfaceOf(dc))
    FillArea(s, rect->left, rect->top, rect->right, rect->bottom, color);
  return 1;
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

extern "C" BOOL WINAPI FloodFill(HDC dc, int x, int y, COLORREF color) {
  return ExtFloodFill(dc, x, y, color, FLOODFILLBORDER);
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

extern "C" BOOL WINAPI BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int x_src,
                              int y_src, DWORD rop) {
  return StretchBlt(dst, x, y, width, height, src, x_src, y_src, width, height, rop);
}
