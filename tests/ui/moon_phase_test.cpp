// The phase picture on the stand-in raster, as RenderMoonPhase reads it back:
// which side is lit for each age, the clamping of large ages, and every GDI
// object released. (The dialog scenarios check the picture in the dialog's
// frame and its name.)
#include <gtest/gtest.h>

#include <windows.h>

#include "phase_raster.h"
#include "orbel_test_api.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kGrey = RGB(128, 128, 128);

// The finished picture of one age, read back pixel by pixel.
struct Picture {
  int size = 0;
  std::vector<COLORREF> pixels;
  COLORREF at(int x, int y) const { return pixels[static_cast<size_t>(y) * size + x]; }
  int Count(COLORREF colour, int fromX, int toX) const {
    int n = 0;
    for (int y = 0; y < size; ++y)
      for (int x = fromX; x < toX; ++x) n += at(x, y) == colour;
    return n;
  }
};

Picture Draw(int radius, int age) {
  const orbel::RgbImage image = orbel::RenderMoonPhase(age, radius);
  Picture p;
  p.size = image.width;
  for (size_t i = 0; i < image.rgb.size(); i += 3)
    p.pixels.push_back(RGB(image.rgb[i], image.rgb[i + 1], image.rgb[i + 2]));
  return p;
}

class MoonPhaseTest : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override { standin::Reset(); }
};

TEST_F(MoonPhaseTest, NewAndFullMoon) {
  const int r = 37;
  const Picture newMoon = Draw(r, 0);
  EXPECT_EQ(newMoon.at(r, r), kGrey);
  EXPECT_EQ(newMoon.Count(kYellow, 0, 2 * r), 0);
  for (int corner : {0, 2 * r - 1}) {
    EXPECT_EQ(newMoon.at(corner, corner), kBlack);
    EXPECT_EQ(newMoon.at(corner, 2 * r - 1 - corner), kBlack);
  }
  const Picture full = Draw(r, 15);
  EXPECT_EQ(full.at(r, r), kYellow);
  EXPECT_EQ(full.Count(kGrey, 0, 2 * r), 0);
  EXPECT_EQ(full.at(0, 0), kBlack);
  // Age 30 and anything larger clamp to 30, which looks like a new moon.
  EXPECT_EQ(Draw(r, 30).pixels, newMoon.pixels);
  EXPECT_EQ(Draw(r, 45).pixels, newMoon.pixels);
}

struct SideCase {
  int age;
  bool yellowRight;  // the lit part lies right of the centre
  COLORREF centre;
};

TEST_F(MoonPhaseTest, LitSideFollowsTheAge) {
  const int r = 37;
  const SideCase cases[] = {
      {1, true, kGrey},     {7, true, kGrey},     {14, true, kYellow},
      {16, false, kYellow}, {22, false, kYellow}, {29, false, kGrey},
  };
  for (const SideCase& c : cases) {
    SCOPED_TRACE(c.age);
    const Picture p = Draw(r, c.age);
    const int yellowLeft = p.Count(kYellow, 0, r);
    const int yellowRight = p.Count(kYellow, r, 2 * r);
    EXPECT_GT(c.yellowRight ? yellowRight : yellowLeft, 0);
    EXPECT_GT(c.yellowRight ? yellowRight : yellowLeft, c.yellowRight ? yellowLeft : yellowRight);
    EXPECT_EQ(p.at(r, r), c.centre);
  }
  // Thin crescents: age 1 lit only on the right, age 29 only on the left.
  EXPECT_EQ(Draw(r, 1).Count(kYellow, 0, r), 0);
  EXPECT_EQ(Draw(r, 29).Count(kYellow, r, 2 * r), 0);
  // Age 14 leaves a grey sliver on the left, age 16 one on the right.
  EXPECT_GT(Draw(r, 14).Count(kGrey, 0, r / 2), 0);
  EXPECT_EQ(Draw(r, 14).Count(kGrey, r, 2 * r), 0);
  EXPECT_GT(Draw(r, 16).Count(kGrey, r + r / 2, 2 * r), 0);
  EXPECT_EQ(Draw(r, 16).Count(kGrey, 0, r), 0);
  // The lit part grows while waxing and shrinks while waning.
  int lastYellow = 0;
  for (int age = 1; age <= 14; ++age) {
    const int yellow = Draw(r, age).Count(kYellow, 0, 2 * r);
    EXPECT_GT(yellow, lastYellow) << age;
    lastYellow = yellow;
  }
}

TEST_F(MoonPhaseTest, ReleasesEveryGdiObject) {
  const int objects = standin::LiveGdiObjects();
  const int contexts = standin::LiveDeviceContexts();
  Draw(30, 7);
  EXPECT_EQ(standin::LiveGdiObjects(), objects);
  EXPECT_EQ(standin::LiveDeviceContexts(), contexts);
}

}  // namespace
