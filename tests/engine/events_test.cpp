// The sun's and the moon's query functions, tested as one over both bodies:
// worked examples, the numeric queries that give a status instead of a time,
// the status messages and answers that do not depend on earlier queries.
// Below them, the position series. (fuzz_engine checks the texts' form over
// every input, NaN and infinities included.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "day_scan.h"
#include "moon_events.h"
#include "moon_position.h"
#include "sun_events.h"

namespace {

typedef int (*IntQuery)(uint8_t, uint8_t, uint32_t, double, double, int8_t);
typedef double (*AzimuthQuery)(uint8_t, uint8_t, uint32_t, double, double, int8_t);
typedef const char* (*TextQuery)(uint8_t, uint8_t, uint32_t, double, double, int8_t);

// The four query functions of one event.
struct Queries {
  IntQuery hour, minute;
  AzimuthQuery azimuth;
  TextQuery text;
};

struct Body {
  Queries rise, set;
  const char* (*statusText)(int);
  int codes[4];  // no rise, no set, down all day, up all day
  const char* messages[4];
};

const Body kSun = {{SunriseHour, SunriseMinute, SunriseAzimuth, SunriseText},
                   {SunsetHour, SunsetMinute, SunsetAzimuth, SunsetText},
                   SunStatusText,
                   {-1, -2, -3, -4},
                   {"NO SUNRISE", "NO SUNSET THIS DATE", "SUN DOWN ALL DAY", "SUN UP ALL DAY"}};
const Body kMoon = {
    {MoonriseHour, MoonriseMinute, MoonriseAzimuth, MoonriseText},
    {MoonsetHour, MoonsetMinute, MoonsetAzimuth, MoonsetText},
    MoonStatusText,
    {-10, -20, -30, -40},
    {"NO MOONRISE THIS DATE", "NO MOONSET THIS DATE", "MOON DOWN ALL DAY", "MOON UP ALL DAY"}};

// The arguments of every query.
struct Query {
  uint8_t day, month;
  uint32_t year;
  double lat, lon;
  int8_t zone;

  template <typename Function>
  auto Ask(Function query) const {
    return query(day, month, year, lat, lon, zone);
  }
};

struct Example {
  const Body* body;
  Query q;
  const char* rise;
  double riseAzimuth;  // NaN: not printed
  const char* set;
  double setAzimuth;
};

const double kStuttgartLat = 48.7333, kStuttgartLon = 9.3;
const double kLat = 48.0 + 44.0 / 60 + 36.0 / 3600;  // 48.743333...
const double kLon = 9.0 + 18.0 / 60 + 27.0 / 3600;   // 9.3075

const Example kExamples[] = {
    {&kSun, {14, 12, 1999, kStuttgartLat, kStuttgartLon, -1}, "08:08", 125.47, "16:27", 234.49},
    {&kSun, {20, 3, 2000, kStuttgartLat, kStuttgartLon, -1}, "06:25", 89.09, "18:36", 271.21},
    // 05:59:34 plus the half minute reads 06:00.
    {&kSun, {1, 1, 2000, 0, 0, 0}, "06:00", NAN, "18:07", NAN},
    // A set in the last half minute of the day reads 24:00.
    {&kSun, {1, 3, 2010, 0, 274, 0}, "11:53", NAN, "24:00", NAN},
    {&kSun, {10, 6, 2000, 66, 20, -1}, "00:07", 6.33, "NO SUNSET THIS DATE", NAN},
    {&kSun, {30, 6, 2000, 66, 20, -1}, "NO SUNRISE", NAN, "23:26", 355.80},
    {&kSun, {12, 6, 2000, 66, 20, -1}, "SUN UP ALL DAY", NAN, "SUN UP ALL DAY", NAN},
    {&kSun, {1, 1, 2000, 68, 20, -1}, "SUN DOWN ALL DAY", NAN, "SUN DOWN ALL DAY", NAN},
    {&kMoon, {14, 12, 1999, kLat, kLon, -1}, "12:17", 109.4, "22:46", 253.1},
    {&kMoon, {16, 12, 1999, kLat, kLon, -1}, "13:09", NAN, "NO MOONSET THIS DATE", NAN},
    {&kMoon, {29, 12, 1999, kLat, kLon, -1}, "NO MOONRISE THIS DATE", NAN, "12:30", NAN},
    {&kMoon, {5, 5, 2005, 10, 60.52, 0}, "24:00", NAN, "11:42", NAN},
    {&kMoon, {10, 12, 1999, 70, 20, -1}, "MOON DOWN ALL DAY", NAN, "MOON DOWN ALL DAY", NAN},
    {&kMoon, {23, 12, 1999, 70, 20, -1}, "MOON UP ALL DAY", NAN, "MOON UP ALL DAY", NAN},
};

// What the four queries of one event answer, as one line.
std::string Answers(const Queries& q, const Query& in) {
  char numbers[80];
  std::snprintf(numbers, sizeof numbers, " %d %d %.17g", in.Ask(q.hour), in.Ask(q.minute),
                in.Ask(q.azimuth));
  return in.Ask(q.text) + std::string(numbers);
}

// The texts are pinned. The numeric queries give the text's hour and minute
// and the azimuth to its last printed digit, or, for an event that does not
// happen, the status code of the message in all three.
TEST(Events, WorkedExamples) {
  for (const Example& e : kExamples) {
    for (const bool rise : {true, false}) {
      const Queries& q = rise ? e.body->rise : e.body->set;
      const char* text = rise ? e.rise : e.set;
      const double azimuth = rise ? e.riseAzimuth : e.setAzimuth;
      SCOPED_TRACE(std::to_string(e.q.day) + "." + std::to_string(e.q.month) + "." +
                   std::to_string(e.q.year) + ": " + text);
      EXPECT_STREQ(e.q.Ask(q.text), text);
      int hour = 0, minute = 0;
      if (std::sscanf(text, "%d:%d", &hour, &minute) == 2) {
        EXPECT_EQ(e.q.Ask(q.hour), hour);
        EXPECT_EQ(e.q.Ask(q.minute), minute);
        if (!std::isnan(azimuth)) {
          EXPECT_NEAR(e.q.Ask(q.azimuth), azimuth, e.body == &kSun ? 0.005 : 0.05);
        }
        continue;
      }
      int status = 0;
      for (int i = 0; i < 4; ++i) {
        if (std::strcmp(e.body->messages[i], text) == 0) status = e.body->codes[i];
      }
      EXPECT_EQ(e.q.Ask(q.hour), status);
      EXPECT_EQ(e.q.Ask(q.minute), status);
      EXPECT_EQ(e.q.Ask(q.azimuth), status);
    }
  }
}

// Each body's messages for its own codes; an empty text for 0 and any other
// code, the other body's included.
TEST(Events, StatusMessages) {
  for (const Body* body : {&kSun, &kMoon}) {
    for (const Body* codes : {&kSun, &kMoon}) {
      for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(body->statusText(codes->codes[i]), body == codes ? body->messages[i] : "");
      }
    }
    EXPECT_STREQ(body->statusText(0), "");
    EXPECT_STREQ(body->statusText(-5), "");
  }
}

// The query functions keep module storage, but a query's answers do not
// depend on it: any two examples asked one after the other answer as they
// did first.
TEST(Events, AnswersDoNotDependOnEarlierQueries) {
  const auto all = [](const Example& e) {
    return Answers(e.body->rise, e.q) + " | " + Answers(e.body->set, e.q);
  };
  std::vector<std::string> first;
  for (const Example& e : kExamples) first.push_back(all(e));
  for (size_t i = 0; i < first.size(); ++i) {
    for (size_t j = 0; j < first.size(); ++j) {
      EXPECT_EQ(all(kExamples[j]), first[j]) << "example " << j << " after " << i;
      EXPECT_EQ(all(kExamples[i]), first[i]) << "example " << i << " after " << j;
    }
  }
}

// The positions at worked day counts: -0.5 is 1 January 2000, 0 h universal
// time; local midnight of 14 December 1999 at zone -1 is -18.541667. A
// negative day count leaves the moon a negative, unnormalised right ascension.
TEST(Positions, WorkedExamples) {
  const double midnight = StartOfDay(DayQuery{14, 12, 1999, 0, 0, -1}).midnight;
  EXPECT_NEAR(midnight, -18.541667, 5e-7);
  const struct {
    bool moon;
    double d, ra, dec, distance;
  } cases[] = {
      {false, -0.5, 4.899745, -0.402553, 0},         {false, midnight, 4.550816, -0.404233, 0},
      {false, midnight + 1, 4.570093, -0.405298, 0}, {true, 0, 3.88331, -0.190153, 63.0863},
      {true, -0.5, 3.78218, -0.156940, 62.8484},     {true, -10000, -2.58584, -0.318625, 63.2430}};
  for (const auto& c : cases) {
    double ra = 0, dec = 0, distance = 0;
    if (c.moon) {
      MoonPosition(c.d, ra, dec, distance);
    } else {
      SunPosition(c.d, ra, dec);
    }
    EXPECT_NEAR(ra, c.ra, c.moon ? 5e-6 : 5e-7) << c.d;
    EXPECT_NEAR(dec, c.dec, 5e-7) << c.d;
    EXPECT_NEAR(distance, c.distance, 5e-5) << c.d;
  }
  // The same in hours and degrees, as printed.
  double ra = 0, dec = 0, distance = 0;
  SunPosition(-0.5, ra, dec);
  EXPECT_NEAR(ra * 12 / M_PI, 18.7156, 5e-5);
  EXPECT_NEAR(dec * 180 / M_PI, -23.0646, 5e-5);
  MoonPosition(0, ra, dec, distance);
  EXPECT_NEAR(ra * 180 / M_PI, 222.497, 5e-4);
  EXPECT_NEAR(dec * 180 / M_PI, -10.8949, 5e-5);
}

}  // namespace
