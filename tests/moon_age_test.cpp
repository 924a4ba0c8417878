#include "moon_age.h"

#include <gtest/gtest.h>

namespace {

struct AgeCase {
  uint8_t day, month;
  uint32_t year;
  int32_t age;
};

TEST(MoonAge, WorkedExamples) {
  const AgeCase cases[] = {
      {1, 1, 2000, 24},  {6, 1, 2000, 29},  {7, 1, 2000, 0}, {21, 1, 2000, 14},
      {22, 1, 2000, 15}, {14, 12, 1999, 6}, {1, 1, 1, 17},
  };
  for (const AgeCase& c : cases) {
    EXPECT_EQ(MoonAge(c.day, c.month, c.year), c.age)
        << int(c.day) << "." << int(c.month) << "." << c.year;
  }
}

// Dates that must count the same day as another date.
struct SameDayCase {
  uint8_t day, month;
  uint32_t year;
  uint8_t otherDay, otherMonth;
  uint32_t otherYear;
};

TEST(MoonAge, OutOfRangeDatesCountOn) {
  const SameDayCase cases[] = {
      {31, 2, 2001, 3, 3, 2001},    // past the month's end
      {0, 3, 2001, 28, 2, 2001},    // day 0 is the previous month's last day
      {15, 0, 2001, 15, 12, 2000},  // month 0 is December of the year before
      {15, 13, 2000, 15, 1, 2001},  // months 13 and 14 are next January/February
      {15, 14, 2000, 15, 2, 2001},
  };
  for (const SameDayCase& c : cases) {
    EXPECT_EQ(MoonAge(c.day, c.month, c.year), MoonAge(c.otherDay, c.otherMonth, c.otherYear));
  }
}

TEST(MoonAge, CalendarSwitch) {
  // 4 and 15 October 1582 are consecutive days; the ten days between are
  // counted as Gregorian dates and so repeat 25 September to 4 October.
  const int32_t before = MoonAge(4, 10, 1582);
  const int32_t after = MoonAge(15, 10, 1582);
  EXPECT_EQ((before + 1) % 30, after);
  EXPECT_EQ(MoonAge(14, 10, 1582), before);
}

TEST(MoonAge, StaysInRangeForEveryDateOfACentury) {
  for (uint32_t year = 1950; year < 2050; ++year)
    for (uint8_t month = 1; month <= 12; ++month)
      for (uint8_t day = 1; day <= 31; ++day) {
        const int32_t age = MoonAge(day, month, year);
        ASSERT_GE(age, 0);
        ASSERT_LE(age, 29);
      }
}

}  // namespace
