#include "calendar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct DateCase {
  uint32_t day, month, year;
  double dayNumber;
};

TEST(JulianDay, KnownDates) {
  const DateCase cases[] = {
      {1, 1, 2000, 2451544},
      {1, 1, 1583, 2299238},
      {31, 12, 1582, 2299247},
      {4, 10, 1582, 2299159},
      {15, 10, 1582, 2299170},
      {1, 1, 1, 1721423},
      {28, 2, 1700, 2342030},
      {1, 3, 1700, 2342031},
      {29, 2, 2000, 2451603},
      {1, 3, 2000, 2451604},
      {14, 12, 1999, 2451526},
      // Out-of-range dates carry on: day 0 of March is 29 February, 31 February
      // is 2 March, month 13 of 1999 is January 2000.
      {0, 3, 2000, 2451603},
      {31, 2, 2000, 2451605},
      {1, 13, 1999, 2451544},
  };
  for (const DateCase& c : cases) {
    double number = 0, fraction = 0;
    JulianDay(c.day, c.month, c.year, number, fraction);
    EXPECT_EQ(number, c.dayNumber) << c.day << "." << c.month << "." << c.year;
    EXPECT_EQ(fraction, 0.5);
  }
}

TEST(JulianDay, HugeYearsStayFinite) {
  double number = 0, fraction = 0;
  JulianDay(255, 255, 4294967295u, number, fraction);
  EXPECT_TRUE(std::isfinite(number));
  EXPECT_EQ(number, std::floor(number));
}

TEST(SiderealAngle, WorkedExamples) {
  EXPECT_NEAR(SiderealAngle(0, -0.5, 0), 1.744764, 5e-7);
  EXPECT_NEAR(SiderealAngle(0, -0.5, 0) * 57.29577951308232, 99.9676, 5e-5);
  EXPECT_NEAR(SiderealAngle(-1.0 / 24, -0.5, 9.3 / 360), 1.644563, 5e-7);
  EXPECT_NEAR(SiderealAngle(-1.0 / 24, -0.5, 9.3 / 360) * 57.29577951308232, 94.2265, 5e-5);
  // Before late September 1999 the sum is negative and so is the angle.
  EXPECT_NEAR(SiderealAngle(0, -200.5, 0), -1.695795, 5e-7);
}

TEST(Primitives, TruncSignAbs) {
  EXPECT_EQ(TruncToInt(2.7), 2);
  EXPECT_EQ(TruncToInt(-2.7), -2);
  EXPECT_EQ(TruncToInt(0.99), 0);
  EXPECT_EQ(TruncToInt(-0.5), 0);
  EXPECT_EQ(TruncToInt(2147483647.9), 2147483647);
  EXPECT_EQ(TruncToInt(-2147483648.9), INT32_MIN);
  // Out of range and NaN give what the x86 truncating conversion gives.
  EXPECT_EQ(TruncToInt(2147483648.0), INT32_MIN);
  EXPECT_EQ(TruncToInt(-2147483649.0), INT32_MIN);
  EXPECT_EQ(TruncToInt(std::numeric_limits<double>::quiet_NaN()), INT32_MIN);
  EXPECT_EQ(TruncToInt(std::numeric_limits<double>::infinity()), INT32_MIN);

  EXPECT_EQ(Sign(0.0), 0.0);
  EXPECT_EQ(Sign(-0.0), 0.0);
  EXPECT_EQ(Sign(-3.0), -1.0);
  EXPECT_EQ(Sign(1e-300), 1.0);
  EXPECT_EQ(Sign(std::numeric_limits<double>::quiet_NaN()), 0.0);
  EXPECT_EQ(Abs(-2.5), 2.5);
  EXPECT_EQ(Abs(2.5), 2.5);
}

}  // namespace
