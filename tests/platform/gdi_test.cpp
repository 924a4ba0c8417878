// GDI on the stand-in raster: Rectangle's pixel rule, SetPixel outside the
// raster, flood fills that spread only through shared edges, StretchBlt's
// mirrored and stretched copies as Windows makes them, monochrome memory
// contexts, object lifetimes, and a window's persistent client pixels.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "orbel_test_api.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kYellow = RGB(255, 255, 0);

// A colour memory context with a w x h raster cleared to `fill`.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  int w = 0, h = 0;
  Canvas(int width, int height, COLORREF fill) : w(width), h(height) {
    HDC screen = GetDC(nullptr);
    dc = CreateCompatibleDC(screen);
    bitmap = CreateCompatibleBitmap(screen, w, h);
    old = SelectObject(dc, bitmap);
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) SetPixel(dc, x, y, fill);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  // The pixels as letters, row after row separated by blanks.
  std::string Rows() const {
    static const std::map<COLORREF, char> names = {{kWhite, '.'}, {kBlack, '#'}, {kRed, 'R'},
                                                   {kGreen, 'G'}, {kBlue, 'B'},  {kYellow, 'Y'}};
    std::string s;
    for (int y = 0; y < h; ++y) {
      if (y > 0) s += ' ';
      for (int x = 0; x < w; ++x) {
        auto it = names.find(GetPixel(dc, x, y));
        s += it == names.end() ? '?' : it->second;
      }
    }
    return s;
  }
};

class PlatformGdi : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override { standin::Reset(); }
};

TEST_F(PlatformGdi, RectangleAndSetPixel) {
  Canvas c(6, 5, kWhite);
  SelectObject(c.dc, CreatePen(PS_SOLID, 1, kRed));
  SelectObject(c.dc, CreateSolidBrush(kGreen));
  EXPECT_TRUE(Rectangle(c.dc, 1, 1, 5, 4));
  EXPECT_EQ(c.Rows(), "...... .RRRR. .RGGR. .RRRR. ......");
  // Without a pen the filled area is one pixel smaller to the right and bottom.
  SelectObject(c.dc, GetStockObject(NULL_PEN));
  SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
  Rectangle(c.dc, 1, 1, 5, 4);
  EXPECT_EQ(c.Rows(), "...... .###R. .###R. .RRRR. ......");
  // Pixels outside the raster are neither set nor read.
  for (POINT p : {POINT{-1, 0}, POINT{0, -1}, POINT{6, 0}, POINT{0, 5}}) {
    EXPECT_EQ(SetPixel(c.dc, p.x, p.y, kBlack), CLR_INVALID);
    EXPECT_EQ(GetPixel(c.dc, p.x, p.y), CLR_INVALID);
  }
  EXPECT_EQ(c.Rows(), "...... .###R. .###R. .RRRR. ......");
}

// The anti-diagonal x + y = 6 steps from pixel to pixel only through corners;
// a fill that spreads through shared edges must not cross it.
TEST_F(PlatformGdi, FloodFillDoesNotLeakThroughADiagonalOutline) {
  Canvas c(7, 7, kWhite);
  for (int x = 0; x < 7; ++x) SetPixel(c.dc, x, 6 - x, kBlack);
  SelectObject(c.dc, CreateSolidBrush(kYellow));
  EXPECT_TRUE(ExtFloodFill(c.dc, 0, 0, kWhite, FLOODFILLSURFACE));
  EXPECT_EQ(c.Rows(), "YYYYYY# YYYYY#. YYYY#.. YYY#... YY#.... Y#..... #......");
  // FLOODFILLBORDER: everything up to the black border.
  SelectObject(c.dc, CreateSolidBrush(kBlue));
  EXPECT_TRUE(ExtFloodFill(c.dc, 6, 6, kBlack, FLOODFILLBORDER));
  EXPECT_EQ(c.Rows(), "YYYYYY# YYYYY#B YYYY#BB YYY#BBB YY#BBBB Y#BBBBB #BBBBBB");
}

// Copies of a 2 x 2 source into a 4 x 2 raster. A negative extent covers the
// rectangle origin + extent .. origin - 1 read from its far end, so differing
// signs mirror and equal signs copy plainly; stretching picks the nearest
// pixel; source pixels outside the source leave their target pixels alone.
TEST_F(PlatformGdi, StretchBltSignsMirrorsAndStretches) {
  const struct {
    const char* name;
    int dx, dy, dw, dh, sx, sy, sw, sh;
    const char* expected;
  } cases[] = {
      {"copy", 0, 0, 2, 2, 0, 0, 2, 2, "RG.. BY.."},
      {"source mirrored left-right", 0, 0, 2, 2, 2, 0, -2, 2, "GR.. YB.."},
      {"source mirrored top-bottom", 0, 0, 2, 2, 0, 2, 2, -2, "BY.. RG.."},
      {"source mirrored both ways", 0, 0, 2, 2, 2, 2, -2, -2, "YB.. GR.."},
      {"destination mirrored left-right", 2, 0, -2, 2, 0, 0, 2, 2, "GR.. YB.."},
      {"both negative, no mirror", 2, 0, -2, 2, 2, 0, -2, 2, "RG.. BY.."},
      {"both widths negative, heights mirrored", 2, 0, -2, 2, 2, 2, -2, -2, "BY.. RG.."},
      {"source origin inside, one column outside", 0, 0, 2, 2, 1, 0, -2, 2, "R... B..."},
      // The phase picture's transfer: target column x + k gets source column
      // 2r - 1 - k, and nothing outside the 2r columns from x changes.
      {"mirrored at an offset", 1, 0, 2, 2, 2, 0, -2, 2, ".GR. .YB."},
      {"twice as wide", 0, 0, 4, 2, 0, 0, 2, 2, "RRGG BBYY"},
  };
  Canvas src(2, 2, kWhite);
  SetPixel(src.dc, 0, 0, kRed);
  SetPixel(src.dc, 1, 0, kGreen);
  SetPixel(src.dc, 0, 1, kBlue);
  SetPixel(src.dc, 1, 1, kYellow);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas dst(4, 2, kWhite);
    EXPECT_TRUE(
        StretchBlt(dst.dc, c.dx, c.dy, c.dw, c.dh, src.dc, c.sx, c.sy, c.sw, c.sh, SRCCOPY));
    EXPECT_EQ(dst.Rows(), c.expected);
  }
}

TEST_F(PlatformGdi, ObjectLifetimes) {
  const int objects = standin::LiveGdiObjects();
  const int contexts = standin::LiveDeviceContexts();
  {
    Canvas c(4, 4, kWhite);
    EXPECT_EQ(standin::LiveDeviceContexts(), contexts + 1);
    HBRUSH brush = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(c.dc, brush);
    EXPECT_EQ(old, GetStockObject(WHITE_BRUSH));
    // Deleted while selected: gone for the program, still painting until deselected.
    EXPECT_TRUE(DeleteObject(brush));
    SelectObject(c.dc, GetStockObject(NULL_PEN));
    Rectangle(c.dc, 0, 0, 3, 3);
    EXPECT_EQ(c.Rows().substr(0, 4), "RR..");
    // A bitmap sits in one context at a time.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, c.bitmap), nullptr);
    // A fresh memory context holds a 1 x 1 monochrome bitmap, so a bitmap
    // made compatible with it is monochrome too, as on Windows.
    HBITMAP mono = CreateCompatibleBitmap(other, 4, 4);
    HGDIOBJ old_bitmap = SelectObject(other, mono);
    EXPECT_EQ(SetPixel(other, 0, 0, kYellow), kWhite);
    EXPECT_EQ(SetPixel(other, 1, 0, RGB(100, 100, 100)), kBlack);
    SelectObject(other, old_bitmap);
    DeleteObject(mono);
    DeleteDC(other);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));  // stock objects stay
  }
  EXPECT_EQ(standin::LiveGdiObjects(), objects);
  EXPECT_EQ(standin::LiveDeviceContexts(), contexts);
}

// GetDC on a window, here a group box as the phase picture's frame is,
// surfaces its client pixels, in the button face colour until drawn on; they
// stay with the window.
TEST_F(PlatformGdi, WindowClientPixelsPersist) {
  HWND w = CreateWindowExA(0, "Button", "", WS_POPUP | BS_GROUPBOX, 0, 0, 40, 30, nullptr, nullptr,
                           nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(standin::WindowPixels(w).rgb.empty());
  HDC dc = GetDC(w);
  EXPECT_EQ(SetPixel(dc, 3, 4, kRed), kRed);
  EXPECT_EQ(ReleaseDC(w, dc), 1);
  const standin::Pixels p = standin::WindowPixels(w);
  EXPECT_EQ((std::vector<int>{p.width, p.height}), (std::vector<int>{40, 30}));
  EXPECT_EQ(p.at(3, 4), kRed);
  EXPECT_EQ(p.at(0, 0), GetSysColor(COLOR_BTNFACE));
  // A later context draws on the same pixels; a window that is gone has none.
  dc = GetDC(w);
  EXPECT_EQ(GetPixel(dc, 3, 4), kRed);
  EXPECT_EQ(ReleaseDC(w, dc), 1);
  DestroyWindow(w);
  EXPECT_EQ(GetDC(w), nullptr);
}

}  // namespace
