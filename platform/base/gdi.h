// The GDI objects and device contexts as the drawing functions see them;
// private to gdi.cpp and raster.cpp.
#pragma once

#include <memory>

#include "base_internal.h"

namespace standin {
namespace internal {

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

GdiObject* Obj(HGDIOBJ h);  // null for anything that is not a live GDI object
DeviceContext* Dc(HDC h);   // null for anything that is not a live device context
// The raster a device context draws on: its selected bitmap, or the client
// pixels of its window; null for a screen context.
Surface* SurfaceOf(HDC h);

}  // namespace internal
}  // namespace standin
