// A small X11 client for the window tests: finds top-level windows by name,
// reads their pixels, and closes them the way a window manager's close box
// does. Kept apart from the Win32 names of the stand-in layer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gui_test {

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;  // x, y on the screen
};

class XClient {
 public:
  XClient();
  ~XClient();
  // Connects to `display` (":N"); false when that fails.
  bool Open(const std::string& display);
  // The mapped top-level window whose name is `name`, or 0.
  unsigned long FindWindow(const std::string& name);
  Geometry GetGeometry(unsigned long window);
  // Pixels of a rectangle of the window, 0xRRGGBB, row by row.
  std::vector<uint32_t> Capture(unsigned long window, int x, int y, int width, int height);
  // Whether the window asks the window manager to keep it above others
  // (_NET_WM_STATE_ABOVE), and to keep its size (equal minimum and maximum).
  bool AsksToStayAbove(unsigned long window);
  bool AsksForFixedSize(unsigned long window);
  // Sends WM_DELETE_WINDOW, which is what a window manager does when the user
  // clicks the close box.
  bool SendCloseRequest(unsigned long window);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Writes 0xRRGGBB pixels as an 8-bit RGB PNG file.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& rgb);

}  // namespace gui_test
