// The calendar arithmetic under the event modules (Julian day numbers, the
// sidereal angle and the truncation and sign they build on) and the moon's
// age of a date.
#include "calendar.h"

#include <gtest/gtest.h>

#include <limits>

#include "moon_age.h"

namespace {

TEST(JulianDay, KnownDates) {
  // The last three dates are out of range and carry on: day 0 of March is 29
  // February, 31 February is 2 March, month 13 of 1999 is January 2000.
  const struct {
    uint32_t day, month, year;
    double dayNumber;
  } cases[] = {{1, 1, 2000, 2451544},  {1, 1, 1583, 2299238},   {31, 12, 1582, 2299247},
               {4, 10, 1582, 2299159}, {15, 10, 1582, 2299170}, {1, 1, 1, 1721423},
               {28, 2, 1700, 2342030}, {1, 3, 1700, 2342031},   {29, 2, 2000, 2451603},
               {1, 3, 2000, 2451604},  {14, 12, 1999, 2451526}, {0, 3, 2000, 2451603},
               {31, 2, 2000, 2451605}, {1, 13, 1999, 2451544}};
  for (const auto& c : cases) {
    double number = 0, fraction = 0;
    JulianDay(c.day, c.month, c.year, number, fraction);
    EXPECT_EQ(number, c.dayNumber) << c.day << "." << c.month << "." << c.year;
    EXPECT_EQ(fraction, 0.5);
  }
}

TEST(SiderealAngle, WorkedExamples) {
  EXPECT_NEAR(SiderealAngle(0, -0.5, 0), 1.744764, 5e-7);
  EXPECT_NEAR(SiderealAngle(0, -0.5, 0) * 57.29577951308232, 99.9676, 5e-5);
  EXPECT_NEAR(SiderealAngle(-1.0 / 24, -0.5, 9.3 / 360), 1.644563, 5e-7);
  EXPECT_NEAR(SiderealAngle(-1.0 / 24, -0.5, 9.3 / 360) * 57.29577951308232, 94.2265, 5e-5);
  // Before late September 1999 the sum is negative and so is the angle.
  EXPECT_NEAR(SiderealAngle(0, -200.5, 0), -1.695795, 5e-7);
}

// Out of range and NaN, TruncToInt gives what the x86 truncating conversion
// gives.
TEST(Primitives, TruncSignAbs) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double x;
    int32_t trunc;
    double sign;
  } cases[] = {{2.7, 2, 1},
               {-2.7, -2, -1},
               {0.0, 0, 0},
               {-0.0, 0, 0},
               {1e-300, 0, 1},
               {2147483647.9, 2147483647, 1},
               {-2147483648.9, INT32_MIN, -1},
               {2147483648.0, INT32_MIN, 1},
               {-2147483649.0, INT32_MIN, -1},
               {nan, INT32_MIN, 0},
               {inf, INT32_MIN, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(TruncToInt(c.x), c.trunc) << c.x;
    EXPECT_EQ(Sign(c.x), c.sign) << c.x;
  }
  EXPECT_EQ(Abs(-2.5), 2.5);
  EXPECT_EQ(Abs(2.5), 2.5);
}

TEST(MoonAge, WorkedExamples) {
  const struct {
    uint8_t day, month;
    uint32_t year;
    int32_t age;
  } ages[] = {{1, 1, 2000, 24},  {6, 1, 2000, 29},  {7, 1, 2000, 0}, {21, 1, 2000, 14},
              {22, 1, 2000, 15}, {14, 12, 1999, 6}, {1, 1, 1, 17}};
  for (const auto& c : ages) {
    EXPECT_EQ(MoonAge(c.day, c.month, c.year), c.age)
        << int{c.day} << "." << int{c.month} << "." << c.year;
  }
}

}  // namespace
