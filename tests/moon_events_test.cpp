#include "moon_events.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "moon_position.h"

namespace {

const double kLat = 48.0 + 44.0 / 60 + 36.0 / 3600;  // 48.743333...
const double kLon = 9.0 + 18.0 / 60 + 27.0 / 3600;   // 9.3075

struct PositionCase {
  double T, ra, dec, distance;
};

TEST(MoonPosition, WorkedExamples) {
  const PositionCase cases[] = {
      {0, 3.88331, -0.190153, 63.0863},
      {-0.5, 3.78218, -0.156940, 62.8484},
      // A negative day count leaves a negative, unnormalised right ascension.
      {-10000, -2.58584, -0.318625, 63.2430},
  };
  for (const PositionCase& c : cases) {
    double ra = 0, dec = 0, distance = 0;
    MoonPosition(c.T, ra, dec, distance);
    EXPECT_NEAR(ra, c.ra, 5e-6) << c.T;
    EXPECT_NEAR(dec, c.dec, 5e-7) << c.T;
    EXPECT_NEAR(distance, c.distance, 5e-5) << c.T;
  }
  double ra = 0, dec = 0, distance = 0;
  MoonPosition(0, ra, dec, distance);
  EXPECT_NEAR(ra * 180 / M_PI, 222.497, 5e-4);
  EXPECT_NEAR(dec * 180 / M_PI, -10.8949, 5e-5);
}

TEST(Interpolate3, PassesThroughItsPoints) {
  EXPECT_EQ(Interpolate3(0, 1, 5, 2), 1);
  EXPECT_EQ(Interpolate3(0.5, 1, 5, 2), 5);
  EXPECT_EQ(Interpolate3(1, 1, 5, 2), 2);
  EXPECT_EQ(Interpolate3(0.25, 0, 1, 2), 0.5);  // a straight line stays straight
}

struct MoonCase {
  const char* name;
  uint8_t day, month;
  uint32_t year;
  double lat, lon;
  const char* rise;
  double riseAzimuth;  // NaN: not checked
  const char* set;
  double setAzimuth;
};

TEST(MoonEvents, WorkedExamples) {
  const MoonCase cases[] = {
      {"14 Dec", 14, 12, 1999, kLat, kLon, "12:17", 109.4, "22:46", 253.1},
      {"16 Dec", 16, 12, 1999, kLat, kLon, "13:09", NAN, "NO MOONSET THIS DATE", NAN},
      {"29 Dec", 29, 12, 1999, kLat, kLon, "NO MOONRISE THIS DATE", NAN, "12:30", NAN},
      {"70N down", 10, 12, 1999, 70, 20, "MOON DOWN ALL DAY", NAN, "MOON DOWN ALL DAY", NAN},
      {"70N up", 23, 12, 1999, 70, 20, "MOON UP ALL DAY", NAN, "MOON UP ALL DAY", NAN},
  };
  for (const MoonCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_STREQ(MoonriseText(c.day, c.month, c.year, c.lat, c.lon, -1), c.rise);
    EXPECT_STREQ(MoonsetText(c.day, c.month, c.year, c.lat, c.lon, -1), c.set);
    if (!std::isnan(c.riseAzimuth)) {
      EXPECT_NEAR(MoonriseAzimuth(c.day, c.month, c.year, c.lat, c.lon, -1), c.riseAzimuth, 0.05);
    }
    if (!std::isnan(c.setAzimuth)) {
      EXPECT_NEAR(MoonsetAzimuth(c.day, c.month, c.year, c.lat, c.lon, -1), c.setAzimuth, 0.05);
    }
  }
}

TEST(MoonEvents, NumericQueriesReportStatusInsteadOfTime) {
  EXPECT_EQ(MoonriseHour(14, 12, 1999, kLat, kLon, -1), 12);
  EXPECT_EQ(MoonriseMinute(14, 12, 1999, kLat, kLon, -1), 17);
  EXPECT_EQ(MoonsetHour(14, 12, 1999, kLat, kLon, -1), 22);
  EXPECT_EQ(MoonsetMinute(14, 12, 1999, kLat, kLon, -1), 46);

  EXPECT_EQ(MoonriseHour(29, 12, 1999, kLat, kLon, -1), kNoMoonrise);
  EXPECT_EQ(MoonriseMinute(29, 12, 1999, kLat, kLon, -1), -10);
  EXPECT_EQ(MoonriseAzimuth(29, 12, 1999, kLat, kLon, -1), -10.0);
  EXPECT_EQ(MoonsetHour(16, 12, 1999, kLat, kLon, -1), kNoMoonset);
  EXPECT_EQ(MoonriseHour(10, 12, 1999, 70, 20, -1), kMoonDownAllDay);
  EXPECT_EQ(MoonsetAzimuth(10, 12, 1999, 70, 20, -1), -30.0);
  EXPECT_EQ(MoonsetMinute(23, 12, 1999, 70, 20, -1), kMoonUpAllDay);
  EXPECT_EQ(MoonriseHour(23, 12, 1999, 70, 20, -1), kMoonUpAllDay);
}

TEST(MoonEvents, StatusMessages) {
  EXPECT_STREQ(MoonStatusText(0), "");
  EXPECT_STREQ(MoonStatusText(-10), "NO MOONRISE THIS DATE");
  EXPECT_STREQ(MoonStatusText(-20), "NO MOONSET THIS DATE");
  EXPECT_STREQ(MoonStatusText(-30), "MOON DOWN ALL DAY");
  EXPECT_STREQ(MoonStatusText(-40), "MOON UP ALL DAY");
  EXPECT_STREQ(MoonStatusText(-1), "");
}

TEST(MoonEvents, TimesAreZeroPadded) {
  // Scan a month for a rise before 10:00 with a one-digit minute.
  bool seen = false;
  for (uint8_t day = 1; day <= 31 && !seen; ++day) {
    const int hour = MoonriseHour(day, 1, 2001, kLat, kLon, -1);
    const int minute = MoonriseMinute(day, 1, 2001, kLat, kLon, -1);
    if (hour >= 0 && hour < 10 && minute < 10) {
      char expected[32];
      std::snprintf(expected, sizeof expected, "0%d:0%d", hour, minute);
      EXPECT_STREQ(MoonriseText(day, 1, 2001, kLat, kLon, -1), expected);
      seen = true;
    }
  }
  for (uint8_t day = 1; day <= 31; ++day) {
    const std::string text = MoonriseText(day, 1, 2001, kLat, kLon, -1);
    if (text[0] != 'N') {
      EXPECT_EQ(text.size(), 5u) << text;
    }
  }
}

TEST(MoonEvents, SouthernLatitudeAsThreeSixtyMinus) {
  for (uint8_t day = 1; day <= 28; day += 3) {
    SCOPED_TRACE(int(day));
    EXPECT_EQ(std::string(MoonriseText(day, 7, 2010, -41.3, 174.8, -12)),
              MoonriseText(day, 7, 2010, 360 - 41.3, 174.8, -12));
    EXPECT_NEAR(MoonsetAzimuth(day, 7, 2010, -41.3, 174.8, -12),
                MoonsetAzimuth(day, 7, 2010, 360 - 41.3, 174.8, -12), 1e-9);
  }
}

TEST(MoonEvents, AnswerIndependentOfHistory) {
  const std::string fresh = MoonsetText(10, 12, 1999, 70, 20, -1);
  MoonsetText(14, 12, 1999, kLat, kLon, -1);
  EXPECT_EQ(MoonsetText(10, 12, 1999, 70, 20, -1), fresh);
  EXPECT_EQ(fresh, "MOON DOWN ALL DAY");
}

TEST(MoonEvents, CrossingInLastHalfMinuteReads2400) {
  bool found = false;
  for (int step = 0; step < 36000 && !found; ++step) {
    const double lon = step * 0.01;
    if (MoonriseHour(5, 5, 2005, 10, lon, 0) == 24) {
      EXPECT_EQ(MoonriseMinute(5, 5, 2005, 10, lon, 0), 0);
      EXPECT_STREQ(MoonriseText(5, 5, 2005, 10, lon, 0), "24:00");
      found = true;
    }
  }
  EXPECT_TRUE(found);
}

}  // namespace
