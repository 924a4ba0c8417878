// GDI on the stand-in raster: Rectangle's pixel rule, SetPixel outside the
// raster, flood fills that spread only through shared edges, StretchBlt's
// mirrored copies as Windows makes them, monochrome memory contexts, object
// lifetimes, and a window's persistent client pixels.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "orbel_test_api.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kMagenta = RGB(255, 0, 255);

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
  // One row as letters, for readable expectations.
  std::string Row(int y) const {
    static const std::map<COLORREF, char> names = {{kWhite, '.'},  {kBlack, '#'}, {kRed, 'R'},
                                                   {kGreen, 'G'},  {kBlue, 'B'},  {kYellow, 'Y'},
                                                   {kMagenta, 'M'}};
    std::string s;
    for (int x = 0; x < w; ++x) {
      auto it = names.find(GetPixel(dc, x, y));
      s += it == names.end() ? '?' : it->second;
    }
    return s;
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int y = 0; y < h; ++y) rows.push_back(Row(y));
    return rows;
  }
};

using Rows = std::vector<std::string>;

class PlatformGdi : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override { standin::Reset(); }
};

TEST_F(PlatformGdi, RectangleCoversLeftTopInclusiveRightBottomExclusive) {
  Canvas c(6, 5, kWhite);
  HPEN pen = CreatePen(PS_SOLID, 1, kRed);
  HBRUSH brush = CreateSolidBrush(kGreen);
  HGDIOBJ old_pen = SelectObject(c.dc, pen);
  HGDIOBJ old_brush = SelectObject(c.dc, brush);
  EXPECT_TRUE(Rectangle(c.dc, 1, 1, 5, 4));
  EXPECT_EQ(c.Rows(), (Rows{"......", ".RRRR.", ".RGGR.", ".RRRR.", "......"}));

  // Without a pen the filled area is one pixel smaller to the right and bottom.
  SelectObject(c.dc, GetStockObject(NULL_PEN));
  SelectObject(c.dc, GetStockObject(BLACK_BRUSH));
  Rectangle(c.dc, 1, 1, 5, 4);
  EXPECT_EQ(c.Rows(), (Rows{"......", ".###R.", ".###R.", ".RRRR.", "......"}));

  // The clear of the phase picture: white pen and brush over the whole raster.
  SelectObject(c.dc, GetStockObject(WHITE_PEN));
  SelectObject(c.dc, GetStockObject(WHITE_BRUSH));
  Rectangle(c.dc, 0, 0, 6, 5);
  EXPECT_EQ(c.Rows(), Rows(5, "......"));

  SelectObject(c.dc, old_pen);
  SelectObject(c.dc, old_brush);
  DeleteObject(pen);
  DeleteObject(brush);
}

TEST_F(PlatformGdi, SetPixelOutsideTheRasterIsIgnored) {
  Canvas c(3, 2, kWhite);
  const POINT outside[] = {{-1, 0}, {0, -1}, {3, 0}, {0, 2}, {74, 74}};
  for (const POINT& p : outside) {
    EXPECT_EQ(SetPixel(c.dc, p.x, p.y, kBlack), CLR_INVALID);
    EXPECT_EQ(GetPixel(c.dc, p.x, p.y), CLR_INVALID);
  }
  EXPECT_EQ(c.Rows(), (Rows{"...", "..."}));
  EXPECT_EQ(SetPixel(c.dc, 2, 1, kBlack), kBlack);
  EXPECT_EQ(c.Rows(), (Rows{"...", "..#"}));
}

// The anti-diagonal x + y = 6 steps from pixel to pixel only through corners;
// a fill that spreads through shared edges must not cross it.
TEST_F(PlatformGdi, FloodFillDoesNotLeakThroughADiagonalOutline) {
  Canvas c(7, 7, kWhite);
  for (int x = 0; x < 7; ++x) SetPixel(c.dc, x, 6 - x, kBlack);
  HBRUSH yellow = CreateSolidBrush(kYellow);
  HGDIOBJ old = SelectObject(c.dc, yellow);
  EXPECT_TRUE(ExtFloodFill(c.dc, 0, 0, kWhite, FLOODFILLSURFACE));
  EXPECT_EQ(c.Rows(),
            (Rows{"YYYYYY#", "YYYYY#.", "YYYY#..", "YYY#...", "YY#....", "Y#.....", "#......"}));
  // A seed that is not of the colour, or outside, changes nothing.
  const Rows before = c.Rows();
  EXPECT_FALSE(ExtFloodFill(c.dc, 3, 3, kWhite, FLOODFILLSURFACE));  // on the outline
  EXPECT_FALSE(ExtFloodFill(c.dc, 0, 0, kWhite, FLOODFILLSURFACE));  // already yellow
  EXPECT_FALSE(ExtFloodFill(c.dc, 7, 0, kWhite, FLOODFILLSURFACE));
  EXPECT_EQ(c.Rows(), before);
  // FLOODFILLBORDER: everything up to the black border.
  HBRUSH blue = CreateSolidBrush(kBlue);
  SelectObject(c.dc, blue);
  EXPECT_TRUE(ExtFloodFill(c.dc, 6, 6, kBlack, FLOODFILLBORDER));
  EXPECT_EQ(c.Row(3), "YYY#BBB");
  EXPECT_EQ(c.Row(0), "YYYYYY#");
  SelectObject(c.dc, old);
  DeleteObject(yellow);
  DeleteObject(blue);
}

// 2 x 2 copies with every sign combination: a negative extent covers the
// rectangle origin + extent .. origin - 1 read from its far end, so differing
// signs mirror and equal signs copy plainly.
TEST_F(PlatformGdi, StretchBltSignCombinations) {
  struct Case {
    const char* name;
    int dx, dy, dw, dh, sx, sy, sw, sh;
    Rows expected;
  };
  const Case cases[] = {
      {"copy", 0, 0, 2, 2, 0, 0, 2, 2, {"RG", "BY"}},
      {"source mirrored left-right", 0, 0, 2, 2, 2, 0, -2, 2, {"GR", "YB"}},
      {"source mirrored top-bottom", 0, 0, 2, 2, 0, 2, 2, -2, {"BY", "RG"}},
      {"source mirrored both ways", 0, 0, 2, 2, 2, 2, -2, -2, {"YB", "GR"}},
      {"destination mirrored left-right", 2, 0, -2, 2, 0, 0, 2, 2, {"GR", "YB"}},
      {"both negative, no mirror", 2, 0, -2, 2, 2, 0, -2, 2, {"RG", "BY"}},
      {"both widths negative, heights mirrored", 2, 0, -2, 2, 2, 2, -2, -2, {"BY", "RG"}},
      {"source origin inside, one column outside", 0, 0, 2, 2, 1, 0, -2, 2, {"R.", "B."}},
  };
  Canvas src(2, 2, kWhite);
  SetPixel(src.dc, 0, 0, kRed);
  SetPixel(src.dc, 1, 0, kGreen);
  SetPixel(src.dc, 0, 1, kBlue);
  SetPixel(src.dc, 1, 1, kYellow);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas dst(2, 2, kWhite);
    EXPECT_TRUE(
        StretchBlt(dst.dc, c.dx, c.dy, c.dw, c.dh, src.dc, c.sx, c.sy, c.sw, c.sh, SRCCOPY));
    EXPECT_EQ(dst.Rows(), c.expected);
  }
}

// The phase picture's transfer: StretchBlt(target, x, 0, 2r, 2r, raster, 2r,
// 0, -2r, 2r) gives target column x + k the raster column 2r - 1 - k and
// touches nothing outside the 2r columns from x.
TEST_F(PlatformGdi, MirroredCopyOfTheWholeRaster) {
  const int r = 3;
  Canvas raster(2 * r, 2 * r, kWhite);
  for (int y = 0; y < 2 * r; ++y)
    for (int x = 0; x < 2 * r; ++x) SetPixel(raster.dc, x, y, RGB(10 * x, y, 0));
  Canvas target(2 * r + 2, 2 * r, kMagenta);
  EXPECT_TRUE(
      StretchBlt(target.dc, 1, 0, 2 * r, 2 * r, raster.dc, 2 * r, 0, -2 * r, 2 * r, SRCCOPY));
  for (int y = 0; y < 2 * r; ++y) {
    EXPECT_EQ(GetPixel(target.dc, 0, y), kMagenta);
    EXPECT_EQ(GetPixel(target.dc, 2 * r + 1, y), kMagenta);
    for (int k = 0; k < 2 * r; ++k) {
      EXPECT_EQ(GetPixel(target.dc, 1 + k, y), RGB(10 * (2 * r - 1 - k), y, 0)) << k << "," << y;
    }
  }
}

TEST_F(PlatformGdi, StretchingPicksTheNearestPixel) {
  Canvas src(4, 1, kWhite);
  const COLORREF colours[] = {kRed, kGreen, kBlue, kYellow};
  for (int x = 0; x < 4; ++x) SetPixel(src.dc, x, 0, colours[x]);
  Canvas wide(8, 1, kWhite);
  StretchBlt(wide.dc, 0, 0, 8, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(wide.Row(0), "RRGGBBYY");
  Canvas narrow(2, 1, kWhite);
  StretchBlt(narrow.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
  EXPECT_EQ(narrow.Row(0), "RB");
}

// A fresh memory context holds a 1 x 1 monochrome bitmap, so a bitmap made
// compatible with it is monochrome too, as on Windows.
TEST_F(PlatformGdi, BitmapCompatibleWithAFreshMemoryContextIsMonochrome) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
  HGDIOBJ old = SelectObject(dc, bitmap);
  EXPECT_EQ(SetPixel(dc, 0, 0, kYellow), kWhite);
  EXPECT_EQ(SetPixel(dc, 1, 0, RGB(100, 100, 100)), kBlack);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
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
    EXPECT_EQ(c.Row(0), "RR..");
    // A bitmap sits in one context at a time.
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, c.bitmap), nullptr);
    DeleteDC(other);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));  // stock objects stay
  }
  EXPECT_EQ(standin::LiveGdiObjects(), objects);
  EXPECT_EQ(standin::LiveDeviceContexts(), contexts);
}

LRESULT CALLBACK PlainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcA(h, m, w, l);
}

// GetDC on a window surfaces its client pixels, which stay with the window.
TEST_F(PlatformGdi, WindowClientPixelsPersist) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = PlainProc;
  wc.lpszClassName = "Plain";
  ASSERT_NE(RegisterClassExA(&wc), 0);
  HWND w =
      CreateWindowExA(0, "Plain", "", WS_POPUP, 0, 0, 40, 30, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(standin::WindowPixels(w).rgb.empty());
  HDC dc = GetDC(w);
  EXPECT_EQ(SetPixel(dc, 3, 4, kRed), kRed);
  EXPECT_EQ(SetPixel(dc, 40, 4, kRed), CLR_INVALID);
  EXPECT_EQ(ReleaseDC(w, dc), 1);
  const standin::Pixels p = standin::WindowPixels(w);
  EXPECT_EQ(p.width, 40);
  EXPECT_EQ(p.height, 30);
  EXPECT_EQ(p.at(3, 4), kRed);
  EXPECT_EQ(p.at(0, 0), GetSysColor(COLOR_BTNFACE));
  dc = GetDC(w);
  EXPECT_EQ(GetPixel(dc, 3, 4), kRed);
  ReleaseDC(w, dc);
  DestroyWindow(w);
}

}  // namespace
