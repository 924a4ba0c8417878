// The calendar arithmetic under the event modules (Julian day numbers, the
// sidereal angle and the truncation and sign they build on) and the moon's
// age of a date.
#include "calendar.h"

#include <gtest/gtest.h>

#include <cmath>
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
  // Huge years stay finite whole numbers.
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
               {0.99, 0, 1},
               {-0.5, 0, -1},
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

TEST(MoonAge, WorkedExamplesDatesThatCountTheSameAndRange) {
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
  // Dates past the month's end count on; day 0 is the previous month's last
  // day, month 0 December of the year before, months 13 and 14 next January
  // and February. The ten days the calendar reform skipped count as Gregorian
  // dates and so repeat 25 September to 4 October.
  const struct {
    uint8_t day, month;
    uint32_t year;
    uint8_t sameDay, sameMonth;
    uint32_t sameYear;
  } same[] = {{31, 2, 2001, 3, 3, 2001},   {0, 3, 2001, 28, 2, 2001},
              {15, 0, 2001, 15, 12, 2000}, {15, 13, 2000, 15, 1, 2001},
              {15, 14, 2000, 15, 2, 2001}, {14, 10, 1582, 4, 10, 1582}};
  for (const auto& c : same) {
    EXPECT_EQ(MoonAge(c.day, c.month, c.year), MoonAge(c.sameDay, c.sameMonth, c.sameYear))
        << int{c.day} << "." << int{c.month} << "." << c.year;
  }
  // 4 and 15 October 1582 are consecutive days.
  EXPECT_EQ((MoonAge(4, 10, 1582) + 1) % 30, MoonAge(15, 10, 1582));
  // Every date of a century gives 0 to 29.
  for (uint32_t year = 1950; year < 2050; ++year)
    for (uint8_t month = 1; month <= 12; ++month)
      for (uint8_t day = 1; day <= 31; ++day)
        ASSERT_LE(static_cast<uint32_t>(MoonAge(day, month, year)), 29u)
            << year * 10000 + month * 100 + day;
}

}  // namespace
