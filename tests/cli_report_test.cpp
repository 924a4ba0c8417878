// A day's report and the year table of the command-line tool.
#include "report.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "phase_name.h"
#include "sun_events.h"

namespace {

using orbel::Date;

const orbel::Place kDefaultPlace{orbel::kDefaultLatitude, orbel::kDefaultLongitude};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Terminal columns before needle (° is two bytes, one column).
size_t ColumnOf(const std::string& line, const std::string& needle) {
  size_t columns = 0;
  for (const char c : line.substr(0, line.find(needle))) columns += (c & 0xC0) != 0x80;
  return columns;
}

orbel::Table MakeTable(int year, orbel::Place place, int zone) {
  orbel::Table table{year, place, zone, {}};
  for (const Date& date : orbel::DatesOfYear(year)) {
    table.days.push_back(orbel::ComputeDay(date, place, zone));
  }
  return table;
}

TEST(DayReport, FourteenthOfDecember1999AtTheDefaultPlace) {
  const orbel::DayReport report = orbel::ComputeDay({1999, 12, 14}, kDefaultPlace, -1);
  EXPECT_EQ(orbel::FormatDayText(report),
            "Orbel report for 1999-12-14 at 48°44'36\"N 9°18'27\"E, zone -1 (UTC+1)\n"
            "  Sunrise    08:08   azimuth 125.5°\n"
            "  Sunset     16:27   azimuth 234.5°\n"
            "  Moonrise   12:17   azimuth 109.4°\n"
            "  Moonset    22:46   azimuth 253.1°\n"
            "  Moon age   6 days  Zunehmender Mond\n");
  const nlohmann::ordered_json json = orbel::DayToJson(report);
  EXPECT_EQ(json["date"], "1999-12-14");
  EXPECT_EQ(json["zone"], -1);
  EXPECT_EQ(json["place"]["latitude"].get<double>(), orbel::kDefaultLatitude);
  EXPECT_EQ(
      json["moonrise"],
      (nlohmann::ordered_json{
          {"text", "12:17"}, {"hour", 12}, {"minute", 17}, {"azimuth", report.moonrise.azimuth}}));
  EXPECT_EQ(json["sunset"]["text"], "16:27");
  EXPECT_EQ(json["sunrise"]["azimuth"].get<double>(),  // full precision
            SunriseAzimuth(14, 12, 1999, orbel::kDefaultLatitude, orbel::kDefaultLongitude, -1));
  EXPECT_EQ(json["moon"], (nlohmann::ordered_json{{"age", 6}, {"phase", "Zunehmender Mond"}}));
}

TEST(DayReport, EventThatDoesNotHappenShowsTheEngineMessage) {
  const orbel::DayReport report = orbel::ComputeDay({2024, 6, 21}, {78, 15}, -2);
  EXPECT_EQ(Lines(orbel::FormatDayText(report)).at(1), "  Sunrise    SUN UP ALL DAY");
  EXPECT_EQ(orbel::DayToJson(report)["sunset"],
            (nlohmann::ordered_json{{"text", "SUN UP ALL DAY"}, {"status", kSunUpAllDay}}));
}

TEST(DatesOfYear, CountsBothCalendarsAndTheReform) {
  const std::pair<int, size_t> counts[] = {{2023, 365}, {2024, 366}, {1900, 365},
                                           {2000, 366}, {1500, 366}, {1582, 355}};
  for (const auto& [year, days] : counts) EXPECT_EQ(orbel::DatesOfYear(year).size(), days) << year;
  EXPECT_EQ(orbel::DatesOfYear(1582)[277], (Date{1582, 10, 15}));
}

TEST(Table, TextColumnsStayAlignedPastDegreeSignsAndStatusWords) {
  const orbel::Table table = MakeTable(2024, {78, 15}, -1);
  std::ostringstream out;
  orbel::WriteTableText(out, table);
  const std::vector<std::string> lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 2 + table.days.size());
  const size_t ageColumn = ColumnOf(lines[1], "Moon age");
  for (size_t i = 2; i < lines.size(); ++i) {  // "%2d " then the phase name
    EXPECT_EQ(ColumnOf(lines[i], PhaseName(table.days[i - 2].moonAge)), ageColumn + 3) << lines[i];
  }
  EXPECT_NE(out.str().find("up all day"), std::string::npos);
}

TEST(Table, CsvAndJson) {
  const orbel::Table table = MakeTable(1999, kDefaultPlace, -1);
  std::ostringstream out;
  orbel::WriteTableCsv(out, table);
  const std::vector<std::string> lines = Lines(out.str());
  ASSERT_EQ(lines.size(), 366u);
  EXPECT_EQ(lines[0].rfind("date,zone,sunrise_text,sunrise_hour,sunrise_minute,sunrise_azimuth,"
                           "sunrise_status,sunset_text,",
                           0),
            0u);
  const std::string& row = lines[1 + 347];  // 14 December
  EXPECT_EQ(row.rfind("1999-12-14,-1,08:08,8,8,125.", 0), 0u) << row;
  EXPECT_NE(row.find(",0,12:17,12,17,109."), std::string::npos) << row;
  EXPECT_EQ(row.substr(row.size() - 21), ",0,6,Zunehmender Mond") << row;
  EXPECT_NE(out.str().find(",NO MOONRISE THIS DATE,,,,-10,"), std::string::npos);

  const nlohmann::ordered_json json = orbel::TableToJson(table);
  EXPECT_EQ(json["zone"], -1);
  ASSERT_EQ(json["days"].size(), 365u);
  EXPECT_EQ(json["days"][347]["moonset"]["text"], "22:46");
  EXPECT_FALSE(json["days"][0].contains("place"));
}

}  // namespace
