// Parsers and formatters of the command-line tool's date, place and zone, the
// calendar in use, messages' quoting and the cities of the zone database.
#include "values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>

#include "cities.h"
#include "place.h"
#include "towns.h"
#include "format.h"
#include "place.h"
#include "printable.h"
#include "phase_name.h"
#include "time/zone.h"

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
  // Zones as offsets in seconds east of UTC: the engine's sign for --zone,
  // the usual one for --utc-offset.
  const std::pair<const char*, int> zones[] = {{"-14", 50400},    {"+12", -43200},  {"-5.5", 19800},
                                               {"-5:30", 19800},  {"-5.75", 20700}, {"3.5", -12600},
                                               {"+3:30", -12600}, {"0", 0},         {"-0.25", 900}};
  for (const auto& [text, offset] : zones) EXPECT_EQ(orbel::ParseEngineZone(text), offset) << text;
  EXPECT_EQ(orbel::ParseUtcOffset("+05:30"), 19800);
  EXPECT_EQ(orbel::ParseUtcOffset("-03:30"), -12600);
  EXPECT_EQ(orbel::ParseUtcOffset("5:45"), 20700);
  // Whole-hour zones keep the engine's bits; quarter hours are exact.
  EXPECT_EQ(orbel::EngineZone(3600), -1.0);
  EXPECT_EQ(orbel::EngineZone(20700), -5.75);
}

TEST(Parsers, RejectWithReason) {
  using Parser = std::function<void(std::string_view)>;
  const Parser lat = orbel::ParseLatitude, lon = orbel::ParseLongitude, date = orbel::ParseDate,
               year = orbel::ParseYear, zone = orbel::ParseEngineZone,
               offset = orbel::ParseUtcOffset;
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
      {lat, "48 N", "unexpected \" N\""},
      {date, "2023-02-29", "February 2023 has 28 days"},
      {date, "2023-01-00", "day 0 does not exist"},
      {date, "2023-13-01", "month 13 does not exist"},
      {date, "1582-10-05", "skipped by the calendar reform"},
      {date, "0000-06-01", "the year must be 1 to 9999"},
      {date, "garbage", "expected a date as YYYY-MM-DD"},
      {date, "2023-1-01", "expected a date as YYYY-MM-DD"},
      {year, "0", "the year must be 1 to 9999"},
      {year, "10000", "expected a year from 1 to 9999"},
      {year, "", "expected a year"},
      {year, "20x4", "expected a year"},
      {zone, "-15", "between -14 and +12"},
      {zone, "13", "between -14 and +12"},
      {zone, "1.01", "whole number of minutes"},
      {zone, "-5:60", "minutes must be below 60"},
      {zone, "", "expected hours"},
      {zone, "+-1", "expected hours"},
      {zone, "1 ", "expected hours"},
      {offset, "+14:01", "between -12:00 and +14:00"},
      {offset, "+5:3", "expected an offset"},
      {offset, "UTC+1", "expected an offset"},
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
  EXPECT_EQ(orbel::FormatOffset(19800), "+05:30");
  EXPECT_EQ(orbel::FormatOffset(0), "+00:00");
  EXPECT_EQ(orbel::FormatOffset(-12600), "-03:30");
  EXPECT_EQ(orbel::FormatOffset(21208), "+05:53:28");  // local mean time of old dates
}

// Values in messages: at most 40 characters, control characters, C1 controls
// and bytes that are not UTF-8 escaped, other UTF-8 kept.
TEST(Format, QuotedValuesCannotReachTheTerminalAsControls) {
  EXPECT_EQ(orbel::Quoted("48°N"), "\"48°N\"");
  EXPECT_EQ(orbel::Quoted("a\x1b[31mb\n\tc\x7f"), "\"a\\x1b[31mb\\n\\tc\\x7f\"");
  EXPECT_EQ(orbel::Quoted("\xc2\x9b"
                          "2J\xff\xc3"),
            "\"\\x9b2J\\xff\\xc3\"");
  EXPECT_EQ(orbel::Quoted(std::string(100000, 'x')), "\"" + std::string(40, 'x') + "...\"");
  EXPECT_EQ(orbel::Quoted(std::string(50, '\x01')).size(), 2 + 40 * 4 + 3);
}

// The calendar in use: Julian up to 4 October 1582, Gregorian from 15 October.
// The event queries get the Julian date of the days after the reform in 1582.
TEST(Calendar, DayNumbersAcrossTheReformAndTheDatesTheEngineGets) {
  using orbel::Date;
  EXPECT_EQ(orbel::DayNumber({1970, 1, 1}), 0);
  EXPECT_EQ(orbel::DayNumber({2000, 1, 1}), 10957);
  EXPECT_EQ(orbel::DayNumber({1582, 10, 15}) - orbel::DayNumber({1582, 10, 4}), 1);
  EXPECT_EQ(orbel::DayNumber({1, 1, 1}), -719164);  // Julian 1 January 1
  for (const Date& d : {Date{1582, 10, 4}, Date{1582, 10, 15}, Date{1, 3, 1}, Date{9999, 12, 31}}) {
    EXPECT_TRUE(orbel::DateOfDayNumber(orbel::DayNumber(d)) == d) << orbel::FormatDate(d);
  }
  const std::pair<Date, Date> engine[] = {{{1582, 10, 4}, {1582, 10, 4}},
                                          {{1582, 10, 15}, {1582, 10, 5}},
                                          {{1582, 11, 10}, {1582, 10, 31}},
                                          {{1582, 12, 31}, {1582, 12, 21}},
                                          {{1583, 1, 1}, {1583, 1, 1}}};
  for (const auto& [date, julian] : engine) {
    EXPECT_EQ(orbel::FormatDate(orbel::EngineDate(date)), orbel::FormatDate(julian));
  }
}

TEST(Cities, ReadFromTheZoneTableAndFoundByName) {
  std::istringstream table(
      "# comment\nIN\t+2232+08822\tAsia/Kolkata\nCA\t+4734-05243\tAmerica/St_Johns\n"
      "AR\t-343600-0582700\tAmerica/Argentina/Buenos_Aires\tBuenos Aires (BA, CF)\n"
      "XX\tbad\tEtc/Nowhere\n");
  const std::vector<orbel::City> cities = orbel::ReadCities(table);
  ASSERT_EQ(cities.size(), 3u);
  EXPECT_EQ(cities[1].name, "St Johns");
  EXPECT_DOUBLE_EQ(cities[1].longitude, -(52 + 43 / 60.0));
  EXPECT_DOUBLE_EQ(cities[2].latitude, -(34 + 36 / 60.0));
  for (const char* name : {"kolkata", "KOLKATA", "Asia/Kolkata"}) {
    EXPECT_EQ(orbel::FindCity(cities, name).zone, "Asia/Kolkata") << name;
  }
  EXPECT_EQ(orbel::FindCity(cities, "st_johns").name, "St Johns");
  const auto error = [&](const char* name) {
    try {
      orbel::FindCity(cities, name);
    } catch (const orbel::InputError& e) {
      return std::string(e.what());
    }
    return std::string("found");
  };
  EXPECT_EQ(error("kolkatta"), "no such city or town; close names: Kolkata, Kalpatta");
  EXPECT_NE(error("xyzzy").find("no such city or town ("), std::string::npos);

  // Towns: accents and punctuation folded, a name that adds words, a
  // qualifier of country or state, the most populous of the same name, and a
  // principal city before the towns of its name.
  const struct {
    const char* query;
    const char* found;  // the place's source and zone
    const char* note;   // the start of its note
  } towns[] = {
      {"tromso", "Tromsø, Troms og Finnmark, Norway Europe/Oslo", ""},
      {"TROMSØ", "Tromsø, Troms og Finnmark, Norway Europe/Oslo", ""},
      {"sao paulo", "São Paulo, Brazil America/Sao_Paulo", ""},
      {"St. John's", "St Johns America/St_Johns", "the zone database's city; 1 town"},
      {"washington",
       "Washington D.C., District of Columbia, United States of America "
       "America/New_York",
       "the most populous of"},
      {"buenos", "Buenos Aires, Buenos Aires F.D., Argentina America/Argentina/Buenos_Aires", ""},
      {"Portland", "Portland, Oregon, United States of America America/Los_Angeles",
       "the most populous of 3"},
      {"Portland, US", "Portland, Oregon, United States of America America/Los_Angeles", "the"},
      {"portland, maine", "Portland, State of Maine, United States of America America/New_York",
       ""},
      {"Portland, Texas", "Portland, Texas, United States of America America/Chicago", ""},
      {"Chatham, gb", "Chatham, England, United Kingdom Europe/London", ""},
  };
  for (const auto& t : towns) {
    const orbel::Place place = orbel::ChoosePlace({}, {}, orbel::FindCity(cities, t.query), {});
    EXPECT_EQ(place.source + " " + orbel::FindCity(cities, t.query).zone, t.found) << t.query;
    EXPECT_EQ(place.note.substr(0, std::string(t.note).size()), t.note) << t.query;
  }
  EXPECT_EQ(error("Portland, Mars").substr(0, 70),
            "no town of the name there; towns of the name: Portland, Oregon, United");
  for (const auto& [name, folded] : {std::pair{"Łódź", "lodz"},
                                     {"Straße", "strasse"},
                                     {"Æbeltoft", "aebeltoft"},
                                     {"Saint-Étienne", "saint etienne"},
                                     {"Washington D.C.", "washington dc"}}) {
    EXPECT_EQ(orbel::FoldName(name), folded);
  }
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
