// What the two halves of the headless Win32 layer share, defined in the
// drawing and system half (platform/base): pixel rasters, handles, the GDI's
// bookkeeping and its way to windows' pixels, the clock and the profile.
// Nothing here knows windows: the windowing half (platform/user) builds on it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace standin {
namespace internal {

// A pixel raster: 0x00BBGGRR values (COLORREF layout), row-major.
struct Surface {
  int width = 0;
  int height = 0;
  bool monochrome = false;
  std::vector<COLORREF> pixels;
};

// One counter for windows, device contexts and GDI objects (handles.cpp).
uintptr_t NewHandle();

// GDI bookkeeping (gdi.cpp).
void ResetGdi();
int LiveGdiObjectCount();
int LiveDcCount();

// How the GDI reaches the windows' client pixels without depending on the
// window manager, so that a program that only draws on memory surfaces links
// no window code. The window manager sets it when it creates a window; until
// then no window exists, and a window device context cannot be had.
struct WindowSurfaceLookup {
  bool (*is_window)(HWND);    // a live window
  Surface* (*surface)(HWND);  // its client pixels, created on first use; null if not a window
};
void SetWindowSurfaceLookup(WindowSurfaceLookup lookup);

// Clock (timezone.cpp).
long long NowMs();  // injected or real wall clock in milliseconds
void AdvanceInjectedClockMs(long long ms);
void ResetClockAndZone();

// Profile (profile.cpp).
void ResetProfile();

// The whole-layer reset of the test interface lives here, with the state it
// always clears; the windowing half joins it the first time its own state is
// made, so that a program without windows resets without linking them.
void JoinLayerReset(void (*reset_windowing)());

}  // namespace internal
}  // namespace standin
