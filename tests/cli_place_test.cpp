// Parsers and formatters of the command-line tool's date, place and zone.
#include "place.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "phase_name.h"

namespace {

using orbel::Date;

// The message of a rejected argument, or "accepted".
std::string Rejection(const std::function<void(const std::string&)>& parse,
                      const std::string& text) {
  try {
    parse(text);
  } catch (const orbel::InputError& e) {
    return e.what();
  }
  return "accepted";
}

const double kDms = 48 + 44.0 / 60 + 36.0 / 3600;

TEST(ParseAngle, DecimalAndDmsForms) {
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
}

TEST(ParseAngle, RejectsWithReason) {
  const struct {
    bool latitude;
    const char* text;
    const char* reason;
  } cases[] = {
      {true, "", "empty value"},
      {true, "nan", "expected degrees"},
      {true, "90.0001", "between -90 and 90 degrees"},
      {true, "311.2333", "between -90 and 90 degrees"},
      {false, "-180.5", "between -180 and 180 degrees"},
      {true, "48:60N", "minutes must be below 60"},
      {true, "48:44:60N", "seconds must be below 60"},
      {true, "48:44:36E", "takes the letter N or S, not E"},
      {false, "9:18:27N", "takes the letter E or W, not N"},
      {true, "-48N", "either a sign or a hemisphere letter"},
      {true, "48.5:30N", "only the last"},
      {true, "48:44:N", "missing seconds"},
      {true, "48:", "missing minutes"},
      {true, "48 N", "unexpected \" N\""},
      {true, "4.8e1", "unexpected \"e1\""},
  };
  for (const auto& c : cases) {
    const std::string message = c.latitude ? Rejection(orbel::ParseLatitude, c.text)
                                           : Rejection(orbel::ParseLongitude, c.text);
    EXPECT_NE(message.find(c.reason), std::string::npos) << c.text << " -> " << message;
  }
}

TEST(ParseDate, LeapYearsOfBothCalendarsAndTheReform) {
  const struct {
    const char* text;
    const char* result;  // "" when the date exists
  } cases[] = {
      {"2024-02-29", ""},
      {"1500-02-29", ""},  // Julian: every fourth year
      {"1582-10-04", ""},
      {"1582-10-15", ""},
      {"9999-12-31", ""},
      {"2023-02-29", "February 2023 has 28 days"},
      {"2023-04-31", "April 2023 has 30 days"},
      {"2023-01-00", "day 0 does not exist"},
      {"2023-13-01", "month 13 does not exist"},
      {"1582-10-05", "skipped by the calendar reform"},
      {"0000-06-01", "the year must be 1 to 9999"},
      {"garbage", "expected a date as YYYY-MM-DD"},
      {"2023-1-01", "expected a date as YYYY-MM-DD"},
      {"2023-+1-01", "expected a date as YYYY-MM-DD"},
  };
  for (const auto& c : cases) {
    const std::string message = Rejection(orbel::ParseDate, c.text);
    if (*c.result == '\0') {
      EXPECT_EQ(message, "accepted") << c.text;
      EXPECT_EQ(orbel::FormatDate(orbel::ParseDate(c.text)), c.text);
    } else {
      EXPECT_NE(message.find(c.result), std::string::npos) << c.text << " -> " << message;
    }
  }
}

TEST(ParseYearAndZone, Ranges) {
  EXPECT_EQ(orbel::ParseYear("1"), 1);
  EXPECT_EQ(orbel::ParseYear("9999"), 9999);
  for (const char* text : {"0", "10000", "", "20x4", "-5", "+2024"}) {
    EXPECT_NE(Rejection(orbel::ParseYear, text), "accepted") << text;
  }
  EXPECT_EQ(orbel::ParseZone("-14"), -14);
  EXPECT_EQ(orbel::ParseZone("+12"), 12);
  for (const char* text : {"-15", "13", "99999999999999999999"}) {
    EXPECT_NE(Rejection(orbel::ParseZone, text).find("between -14 and +12"), std::string::npos)
        << text;
  }
  for (const char* text : {"1.5", "", "+-1", "--1", "1 "}) {
    EXPECT_NE(Rejection(orbel::ParseZone, text).find("whole number"), std::string::npos) << text;
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
