// A day's report and the year table of the command-line tool: zones with
// fractions of an hour and the days when the clocks change, worked from the
// engine's answers; the table's columns. (The outputs of polar days and of
// the calendar reform of 1582 are pinned by the characterization record.)
#include "day.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "batch.h"
#include "render.h"
#include "day_scan.h"
#include "moon_events.h"
#include "phase_name.h"
#include "sun_events.h"
#include "text_lines.h"

namespace {

using orbel::Date;

const int kHour = 3600;

// Terminal columns before needle (° is two bytes, one column).
size_t ColumnOf(const std::string& line, const std::string& needle) {
  size_t columns = 0;
  for (const char c : line.substr(0, line.find(needle))) columns += (c & 0xC0) != 0x80;
  return columns;
}

orbel::YearTable MakeTable(int year, orbel::Place place, const orbel::Zone& zone) {
  orbel::YearTable table{year, place, zone.name, nullptr, {}, {}};
  for (const Date& date : orbel::DatesOfYear(year)) {
    table.days.push_back(orbel::ComputeDay(date, place, zone));
  }
  return table;
}

// The four event texts of a report.
std::string EventsOf(const orbel::DayReport& r) {
  return r.Find("sunrise").text + "|" + r.Find("sunset").text + "|" + r.Find("moonrise").text +
         "|" + r.Find("moonset").text + "|";
}

// The same four as orbel-cli batch gives them for a query line.
std::string BatchEventsOf(const std::string& line) {
  std::string result;
  orbel::AppendBatchResult(orbel::ParseBatchLine(line).query, result);
  std::istringstream fields(result);
  std::string out, field;
  for (int i = 0; std::getline(fields, field, '\t') && i < 16; ++i) {
    if (i % 4 == 3) out += field + "|";
  }
  return out;
}

// On days without a clock change every event is the engine's answer at the
// zone in hours: half and quarter hours and whole hours of both signs, over
// every day of a year at places on both hemispheres.
TEST(DayReport, FixedOffsetsGiveTheEnginesAnswerAtTheZoneInHours) {
  const struct {
    double latitude, longitude;
    int offset;
  } places[] = {{28.6139, 77.209, 19800},    {27.7172, 85.324, 20700}, {47.5615, -52.7126, -12600},
                {-34.9285, 138.6007, 34200}, {-33.87, 151.2, 36000},   {69.65, 18.96, kHour}};
  for (const auto& p : places) {
    const orbel::Zone zone = orbel::FixedZone(p.offset);
    for (const Date& date : orbel::DatesOfYear(2026)) {
      const orbel::DayReport report =
          orbel::ComputeDay(date, {p.latitude, p.longitude, "given"}, zone);
      std::ostringstream line;
      line.precision(17);
      line << date.day << ' ' << date.month << ' ' << date.year << ' ' << p.latitude << ' '
           << p.longitude << ' ' << -p.offset / 3600.0;
      ASSERT_EQ(EventsOf(report), BatchEventsOf(line.str()))
          << orbel::FormatDate(date) << " at " << p.latitude << ", offset " << p.offset;
    }
  }
}

// What every event must be on a clock-change day, worked from universal
// time: the engine's crossings of the universal days around it, kept when
// their instant lies in the civil day [start, end), the last of each kind,
// read on the clock in force then (the offset of the start before `change`,
// the offset of the end from then on).
TEST(DayReport, ClockChangeDaysShowEachEventOnceAtTheClockThenInForce) {
  if (!orbel::HaveZoneDatabase()) GTEST_SKIP() << "this build has no zone database";
  const struct {
    const char* zone;
    Date date;
    double latitude, longitude;
    int64_t start, change, end;  // seconds since 1970, UTC
  } days[] = {
      // 2024-03-31 00:00 CET = 03-30 23:00Z; 02:00 CET -> 03:00 CEST at 01:00Z.
      {"Europe/Berlin", {2024, 3, 31}, 52.52, 13.405, 1711839600, 1711846800, 1711922400},
      {"Europe/Berlin", {2024, 10, 27}, 52.52, 13.405, 1729980000, 1729990800, 1730070000},
      {"America/New_York", {2024, 3, 10}, 40.71, -74.01, 1710046800, 1710054000, 1710129600},
      {"America/New_York", {2024, 11, 3}, 40.71, -74.01, 1730606400, 1730613600, 1730696400},
      {"Australia/Sydney", {2024, 4, 7}, -33.87, 151.2, 1712408400, 1712419200, 1712498400},
      {"Australia/Sydney", {2024, 10, 6}, -33.87, 151.2, 1728136800, 1728144000, 1728219600},
  };
  for (const auto& c : days) {
    SCOPED_TRACE(std::string(c.zone) + " " + orbel::FormatDate(c.date));
    const orbel::Place place{c.latitude, c.longitude, "given"};
    const int64_t midnight = orbel::DayNumber(c.date) * 86400;
    const int before = static_cast<int>(midnight - c.start);
    const int after = static_cast<int>(midnight + 86400 - c.end);
    const orbel::DayReport report = orbel::ComputeDay(c.date, place, orbel::NamedZone(c.zone));
    ASSERT_EQ(report.offsets, (std::vector<int>{before, after}));
    const orbel::Event* shown[2][2] = {{&report.Find("sunrise"), &report.Find("sunset")},
                                       {&report.Find("moonrise"), &report.Find("moonset")}};
    for (int moon = 0; moon < 2; ++moon) {
      // The crossings of the universal days that overlap the civil day.
      int64_t last[2] = {-1, -1};
      for (int64_t day = c.start / 86400 - 1; day <= c.end / 86400; ++day) {
        const Date d = orbel::DateOfDayNumber(day);
        const DayQuery q{unsigned(d.day), unsigned(d.month), unsigned(d.year),
                         place.latitude,  place.longitude,   0};
        const BodyDay scan = moon ? MoonDay(q) : SunDay(q);
        for (int i = 0; i < scan.crossingCount; ++i) {
          const int64_t t = day * 86400 + std::llround(scan.crossings[i].hours * 3600);
          if (t >= c.start && t < c.end) last[static_cast<int>(scan.crossings[i].kind)] = t;
        }
      }
      for (int kind = 0; kind < 2; ++kind) {
        const orbel::Event& event = *shown[moon][kind];
        ASSERT_EQ(event.status != 0, last[kind] == -1) << event.text;
        if (last[kind] == -1) continue;
        const int offset = last[kind] < c.change ? before : after;
        EXPECT_EQ(event.offset, offset);
        // Within a minute: the local scan rounds its own solution.
        const int64_t local = (last[kind] + offset) % 86400;
        const int64_t shownSeconds = event.hour * 3600 + event.minute * 60;
        EXPECT_LE(std::llabs(shownSeconds - local), 60) << event.text;
      }
    }
  }
}

// A clock time of the repeated hour carries its abbreviation; on the spring
// days no time of the skipped hour is shown.
TEST(DayReport, RepeatedHourNamesItsOffsetAndTheSkippedHourNeverShows) {
  if (!orbel::HaveZoneDatabase()) GTEST_SKIP() << "this build has no zone database";
  const orbel::Zone berlin = orbel::NamedZone("Europe/Berlin");
  int repeated = 0;
  for (int year = 2020; year <= 2030; ++year) {
    for (const int month : {3, 10}) {
      for (int day = 25; day <= 31; ++day) {
        const orbel::DayReport r =
            orbel::ComputeDay({year, month, day}, {52.52, 13.405, "given"}, berlin);
        for (const orbel::Event* e :
             {&r.Find("sunrise"), &r.Find("sunset"), &r.Find("moonrise"), &r.Find("moonset")}) {
          if (r.offsets.size() < 2 || e->status != 0 || e->hour != 2) continue;
          EXPECT_EQ(month, 10) << year << "-03-" << day << " shows " << e->text;
          EXPECT_EQ(e->text.substr(5), e->offset == 7200 ? " CEST" : " CET") << e->text;
          ++repeated;
        }
      }
    }
  }
  EXPECT_GT(repeated, 0) << "no event in the repeated hour in eleven autumns";
  // A sunrise in the last half minute before 02:00 CET on the spring day
  // reads 03:00 CEST, the first minute after the change.
  for (double longitude = 74; longitude < 77; longitude += 0.0005) {
    const BodyDay sun = SunDay(DayQuery{31, 3, 2024, 0, longitude, -1});
    const double hours = sun.crossings[0].hours;
    if (sun.crossings[0].kind != CrossingKind::kRise || hours < 2 - 0.5 / 60 ||
        hours > 2 - 1.0 / 3600) {
      continue;
    }
    const orbel::DayReport r = orbel::ComputeDay({2024, 3, 31}, {0, longitude, "given"}, berlin);
    EXPECT_EQ(r.Find("sunrise").text, "03:00");
    return;
  }
  ADD_FAILURE() << "no place with a sunrise between 01:59:30 and 02:00 CET";
}

TEST(Table, TextColumnsStayAlignedPastDegreeSignsAndStatusWords) {
  const orbel::YearTable table = MakeTable(2024, {78, 15, "given"}, orbel::FixedZone(kHour));
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

}  // namespace
