// Parsers and formatters of the command-line tool's date, place and zone.
#include "place.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "phase_name.h"

namespace {

const double kDms = 48 + 44.0 / 60 + 36.0 / 3600;

TEST(Parsers, AcceptedForms) {
  const struct {
    const char* text;
    double latitude;
  } cases[] = {
      {"48.7433", 48.7433},
      {"-33.8667", -33.8667},
      {"48:44:36N", kDms},
      {"48:44:36n", kDms},
      {"48°44'36\"N", kDms},
      {"48:44N", 48 + 44.0 / 60},
      {"48:44.5N", 48 + 44.5 / 60},
      {"48N", 48},
      {"48°", 48},
      {"33:52:0S", -(33 + 52.0 / 60)},
      {"90S", -90},
  };
  for (const auto& c : cases) EXPECT_EQ(orbel::ParseLatitude(c.text), c.latitude) << c.text;
  EXPECT_EQ(orbel::ParseLongitude("122:25:10W"), -(122 + 25.0 / 60 + 10.0 / 3600));
  EXPECT_EQ(orbel::ParseLongitude("180w"), -180);
  EXPECT_FALSE(std::signbit(orbel::ParseLatitude("-0:0:0")));
  // The default place written in DMS is exactly the default.
  EXPECT_EQ(orbel::ParseLatitude("48:44:36N"), orbel::kDefaultLatitude);
  EXPECT_EQ(orbel::ParseLongitude("9:18:27E"), orbel::kDefaultLongitude);
  // Leap days of both calendars and the days either side of the reform.
  for (const char* date : {"2024-02-29", "1500-02-29", "1582-10-04", "1582-10-15", "9999-12-31"}) {
    EXPECT_EQ(orbel::FormatDate(orbel::ParseDate(date)), date);
  }
  EXPECT_EQ(orbel::ParseYear("1"), 1);
  EXPECT_EQ(orbel::ParseYear("9999"), 9999);
  EXPECT_EQ(orbel::ParseZone("-14"), -14);
  EXPECT_EQ(orbel::ParseZone("+12"), 12);
}

TEST(Parsers, RejectWithReason) {
  using Parser = std::function<void(std::string_view)>;
  const Parser lat = orbel::ParseLatitude, lon = orbel::ParseLongitude, date = orbel::ParseDate,
               year = orbel::ParseYear, zone = orbel::ParseZone;
  const struct {
    const Parser& parse;
    const char* text;
    const char* reason;
  } cases[] = {
      {lat, "", "empty value"},
      {lat, "nan", "expected degrees"},
      {lat, "90.0001", "between -90 and 90 degrees"},
      {lat, "311.2333", "between -90 and 90 degrees"},
      {lon, "-180.5", "between -180 and 180 degrees"},
      {lat, "48:60N", "minutes must be below 60"},
      {lat, "48:44:60N", "seconds must be below 60"},
      {lat, "48:44:36E", "takes the letter N or S, not E"},
      {lon, "9:18:27N", "takes the letter E or W, not N"},
      {lat, "-48N", "either a sign or a hemisphere letter"},
      {lat, "48.5:30N", "only the last"},
      {lat, "48:44:N", "missing seconds"},
      {lat, "48:", "missing minutes"},
      {lat, "48 N", "unexpected \" N\""},
      {lat, "4.8e1", "unexpected \"e1\""},
      {date, "2023-02-29", "February 2023 has 28 days"},
      {date, "2023-04-31", "April 2023 has 30 days"},
      {date, "2023-01-00", "day 0 does not exist"},
      {date, "2023-13-01", "month 13 does not exist"},
      {date, "1582-10-05", "skipped by the calendar reform"},
      {date, "1582-10-14", "skipped by the calendar reform"},
      {date, "0000-06-01", "the year must be 1 to 9999"},
      {date, "garbage", "expected a date as YYYY-MM-DD"},
      {date, "2023-1-01", "expected a date as YYYY-MM-DD"},
      {date, "2023-+1-01", "expected a date as YYYY-MM-DD"},
      {year, "0", "the year must be 1 to 9999"},
      {year, "10000", "expected a year from 1 to 9999"},
      {year, "", "expected a year"},
      {year, "20x4", "expected a year"},
      {year, "-5", "expected a year"},
      {year, "+2024", "expected a year"},
      {zone, "-15", "between -14 and +12"},
      {zone, "13", "between -14 and +12"},
      {zone, "99999999999999999999", "between -14 and +12"},
      {zone, "1.5", "whole number"},
      {zone, "", "whole number"},
      {zone, "+-1", "whole number"},
      {zone, "--1", "whole number"},
      {zone, "1 ", "whole number"},
  };
  for (const auto& c : cases) {
    std::string message = "accepted";
    try {
      c.parse(c.text);
    } catch (const orbel::InputError& e) {
      message = e.what();
    }
    EXPECT_NE(message.find(c.reason), std::string::npos) << c.text << " -> " << message;
  }
}

TEST(Format, DmsRoundsToTheSecondAndZoneShowsTheUtcOffset) {
  EXPECT_EQ(orbel::FormatLatitude(orbel::kDefaultLatitude), "48°44'36\"N");
  EXPECT_EQ(orbel::FormatLongitude(orbel::kDefaultLongitude), "9°18'27\"E");
  EXPECT_EQ(orbel::FormatLongitude(-122.4194), "122°25'10\"W");
  EXPECT_EQ(orbel::FormatLatitude(10.99999999), "11°00'00\"N");
  EXPECT_EQ(orbel::FormatLatitude(-0.0000001), "0°00'00\"N");
  EXPECT_EQ(orbel::FormatUtcOffset(-1), "UTC+1");
  EXPECT_EQ(orbel::FormatUtcOffset(0), "UTC");
  EXPECT_EQ(orbel::FormatUtcOffset(5), "UTC-5");
}

TEST(PhaseName, AgeComparedAsUnsigned) {
  const struct {
    int32_t age;
    const char* name;
  } cases[] = {{0, "Neumond"},           {1, "Zunehmender Mond"},        {14, "Zunehmender Mond"},
               {15, "Vollmond"},         {16, "Abnehmender Mond"},       {29, "Abnehmender Mond"},
               {-1, "Abnehmender Mond"}, {INT32_MIN, "Abnehmender Mond"}};
  for (const auto& c : cases) EXPECT_STREQ(PhaseName(c.age), c.name) << c.age;
}

}  // namespace
