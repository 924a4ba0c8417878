// GDI objects and device contexts on pixel rasters: window and memory device
// contexts, bitmaps, pens and brushes with the stock objects, selection and
// lifetimes, and the system colours.
#include <map>
#include <memory>

#include "gdi.h"

namespace standin {
namespace internal {

namespace {

struct Gdi {
  std::map<uintptr_t, GdiObject> objects;
  std::map<uintptr_t, DeviceContext> dcs;
  std::map<int, HGDIOBJ> stock;
  HGDIOBJ default_bitmap = nullptr;
  WindowSurfaceLookup windows{};  // null functions until the first window
};

Gdi& G() {
  static Gdi gdi;
  return gdi;
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

}  // namespace

GdiObject* Obj(HGDIOBJ h) {
  auto it = G().objects.find(reinterpret_cast<uintptr_t>(h));
  return it == G().objects.end() ? nullptr : &it->second;
}

DeviceContext* Dc(HDC h) {
  auto it = G().dcs.find(reinterpret_cast<uintptr_t>(h));
  return it == G().dcs.end() ? nullptr : &it->second;
}

Surface* SurfaceOf(HDC h) {
  DeviceContext* dc = Dc(h);
  if (!dc) return nullptr;
  if (dc->memory) {
    GdiObject* b = Obj(dc->bitmap);
    return b ? b->bitmap.get() : nullptr;
  }
  const WindowSurfaceLookup& windows = G().windows;
  return dc->window && windows.surface ? windows.surface(dc->window) : nullptr;
}

void SetWindowSurfaceLookup(WindowSurfaceLookup lookup) {
  G().windows = lookup;
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

extern "C" HDC WINAPI GetDC(HWND hwnd) {
  // GetDC(NULL) gives a screen context with nothing behind it.
  const WindowSurfaceLookup& windows = G().windows;
  if (hwnd && !(windows.is_window && windows.is_window(hwnd))) return nullptr;
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
