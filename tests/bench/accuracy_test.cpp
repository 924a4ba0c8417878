// The accuracy tool's table readers and statistics (bench/): the conversion of
// published local and universal times into one time line, the handling of days
// without an event, and the percentile arithmetic of the report.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "accuracy_stats.h"
#include "civil_days.h"
#include "usno_tables.h"

namespace {

using namespace orbel_bench;

int64_t Minute(int year, int month, int day, int hour, int minute) {
  return DaysFromCivil(year, month, day) * 1440 + hour * 60 + minute;
}

TEST(CivilDays, KnownDatesAndRoundTrip) {
  EXPECT_EQ(DaysFromCivil(2000, 1, 1), 0);
  EXPECT_EQ(DaysFromCivil(2007, 1, 1), 2557);
  EXPECT_EQ(DaysFromCivil(1750, 1, 1), -91310);  // 1800 and 1900 are not leap years
  for (int64_t d = -100000; d < 40000; d += 7) {
    const CivilDate c = CivilFromDays(d);
    ASSERT_EQ(DaysFromCivil(c.year, c.month, c.day), d);
  }
}

// A USNO one-year table: rise 07:43 and set 17:40 on every day that exists,
// except 2 January (no set) and 3 February (no rise).
std::string YearTable(const char* zoneLine) {
  std::string t = std::string("             o  ,    o  ,              ATLANTA, GEORGIA\n") +
                  "Location: W084 25, S33 46       Rise and Set for the Moon for 2007\n\n" +
                  "                         " + zoneLine + "\n" +
                  "       Jan.       Feb.       Mar.\nDay Rise  Set  Rise  Set  Rise  Set\n";
  const int monthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int day = 1; day <= 31; ++day) {
    char row[8];
    std::snprintf(row, sizeof row, "%02d ", day);
    t += row;
    for (int month = 1; month <= 12; ++month) {
      const bool exists = day <= monthDays[month - 1];
      t += std::string(" ") + (exists && !(month == 2 && day == 3) ? "0743" : "    ") + " " +
           (exists && !(month == 1 && day == 2) ? "1740" : "    ") + " ";
    }
    t += "\n";
  }
  return t + "\n      Add one hour for daylight time, if and when in use.\n";
}

TEST(ReadUsnoYearTable, LocalTimesBecomeUniversalTimeAndBlanksAreNoEvent) {
  std::istringstream in(YearTable("Eastern Standard Time"));
  const Series s = ReadUsnoYearTable(in, "atlanta");
  EXPECT_EQ(s.body, Body::kMoon);
  EXPECT_NEAR(s.longitude, -(84 + 25 / 60.0), 1e-9);
  EXPECT_NEAR(s.latitude, -(33 + 46 / 60.0), 1e-9);
  EXPECT_EQ(s.zone, 5);
  EXPECT_EQ(s.firstDay, DaysFromCivil(2007, 1, 1));
  EXPECT_EQ(s.lastDay, DaysFromCivil(2007, 12, 31));
  ASSERT_EQ(s.events.size(), 2u * 365 - 2);
  // 07:43 EST on 1 January is 12:43 UT; the table's day stays 1 January.
  EXPECT_EQ(s.events[0].kind, Kind::kRise);
  EXPECT_EQ(s.events[0].minute, Minute(2007, 1, 1, 12, 43));
  EXPECT_EQ(s.events[0].day, DaysFromCivil(2007, 1, 1));
  for (const TableEvent& e : s.events) {
    EXPECT_FALSE(e.day == DaysFromCivil(2007, 1, 2) && e.kind == Kind::kSet);
    EXPECT_FALSE(e.day == DaysFromCivil(2007, 2, 3) && e.kind == Kind::kRise);
  }
}

TEST(ReadUsnoYearTable, RejectsUnknownZoneAndTimesOnMissingDays) {
  std::istringstream unknownZone(YearTable("Martian Standard Time"));
  EXPECT_THROW(ReadUsnoYearTable(unknownZone, "t"), TableError);
  std::string text = YearTable("Universal Time");
  text.replace(text.find("\n30 ") + 1 + 4 + 11, 4, "0101");  // a rise on 30 February
  std::istringstream in(text);
  EXPECT_THROW(ReadUsnoYearTable(in, "t"), TableError);
}

TEST(ReadUsnoRiseTransitSet, ZoneFromOffsetAndStarsMeanNoEvent) {
  std::istringstream in(
      "                                         Moon\n"
      "                    Location:  W147\xC2\xB0"
      "45'00.0\", N64\xC2\xB0"
      "48'36.0\",     0m\n"
      "                         Time Zone:  8h 00m west of Greenwich\n"
      "      Date               Rise  Az.       Transit Alt.       Set  Az.        Lower Alt.\n"
      "2006 Jun 22 (Thu)        01:11  31        11:17 48S        23:04 351\n"
      "2006 Jun 23 (Fri)        00:13   6        12:13 51S\n"
      "2006 Jun 24 (Sat)        ***** ***        13:11 53S        ***** ***        00:42  2N\n"
      "2006 Jun 27 (Tue)        04:07   8        15:55 48S        03:02 354\n");
  const Series s = ReadUsnoRiseTransitSet(in, "fairbanks");
  EXPECT_EQ(s.body, Body::kMoon);
  EXPECT_EQ(s.zone, 8);
  EXPECT_NEAR(s.longitude, -147.75, 1e-9);
  EXPECT_NEAR(s.latitude, 64.81, 1e-9);
  EXPECT_EQ(s.firstDay, DaysFromCivil(2006, 6, 22));
  EXPECT_EQ(s.lastDay, DaysFromCivil(2006, 6, 27));
  ASSERT_EQ(s.events.size(), 5u);
  // 23:04 at UTC-8 on 22 June is 07:04 UT on 23 June, on the table's 22 June.
  EXPECT_EQ(s.events[1].kind, Kind::kSet);
  EXPECT_EQ(s.events[1].minute, Minute(2006, 6, 23, 7, 4));
  EXPECT_EQ(s.events[1].day, DaysFromCivil(2006, 6, 22));
  EXPECT_EQ(s.events[2].kind, Kind::kRise);  // 23 June: a rise, no set
  EXPECT_EQ(s.events[3].minute, Minute(2006, 6, 27, 12, 7));
}

TEST(ReadUtcEventList, OneSeriesPerBodyAndPlaceCoveringWholeYears) {
  std::istringstream in(
      "Moon  103 -61 1944-01-01T02:49Z r\n"
      "Sun     0  60 2019-01-01T09:02Z r\n"
      "Moon  103 -61 1945-12-31T16:55Z s\n"
      "\n"
      "Sun     0  60 2019-01-01T15:05Z s\n");
  const std::vector<Series> all = ReadUtcEventList(in, "list");
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].body, Body::kMoon);
  EXPECT_EQ(all[0].latitude, -61);
  EXPECT_EQ(all[0].longitude, 103);
  EXPECT_EQ(all[0].zone, 0);
  EXPECT_EQ(all[0].firstDay, DaysFromCivil(1944, 1, 1));
  EXPECT_EQ(all[0].lastDay, DaysFromCivil(1945, 12, 31));
  EXPECT_EQ(all[0].events[1].minute, Minute(1945, 12, 31, 16, 55));
  EXPECT_EQ(all[1].events.size(), 2u);
  std::istringstream bad("Sun 0 60 2019-02-30T09:02Z r\n");
  EXPECT_THROW(ReadUtcEventList(bad, "list"), TableError);
}

TEST(EventAt, RoundsToTheMinuteAndPlacesOnTheLocalDay) {
  // 23:59:40 local at UTC+1 (zone -1): rounds to midnight, stays on its day.
  const MethodEvent e = EventAt(Kind::kSet, Minute(2020, 5, 1, 22, 59) + 40 / 60.0, -1);
  EXPECT_EQ(e.minute, Minute(2020, 5, 1, 23, 0));
  EXPECT_EQ(e.day, DaysFromCivil(2020, 5, 1));
  // 23:30 UT is 00:30 of the next day at UTC+1; before 2000 the day floors.
  EXPECT_EQ(EventAt(Kind::kRise, Minute(2020, 5, 1, 23, 30), -1).day, DaysFromCivil(2020, 5, 2));
  EXPECT_EQ(EventAt(Kind::kRise, -0.5 * 1440, 0).day, -1);
}

// The same event reported twice (less than an hour apart) is kept once; an
// event of the other kind in between does not count.
TEST(WithoutRepeats, DropsTheSameEventReportedTwice) {
  const std::vector<MethodEvent> kept = WithoutRepeats({{Kind::kRise, 1000, 0},
                                                        {Kind::kSet, 1030, 0},
                                                        {Kind::kRise, 1001, 0},
                                                        {Kind::kRise, 1070, 0}});
  ASSERT_EQ(kept.size(), 3u);
  EXPECT_EQ(kept[0].minute, 1000);
  EXPECT_EQ(kept[1].kind, Kind::kSet);
  EXPECT_EQ(kept[2].minute, 1070);
}

TEST(Compare, MatchesNearestWithinWindowAndCountsDaysWithoutEvents) {
  Series s{"t", Body::kSun, 0, 0, 0, 10, 13, {}};
  s.events = {{Kind::kRise, 10 * 1440 + 400, 10},
              {Kind::kRise, 11 * 1440 + 400, 11},
              {Kind::kRise, 12 * 1440 + 400, 12},
              {Kind::kSet, 10 * 1440 + 1000, 10}};
  const std::vector<MethodEvent> method = {
      {Kind::kRise, 10 * 1440 + 398, 10},  // 2 early
      {Kind::kRise, 11 * 1440 + 405, 11},  // 5 late
      {Kind::kRise, 12 * 1440 + 700, 12},  // beyond the window
      {Kind::kRise, 13 * 1440 + 400, 13},  // a day the table has none
      {Kind::kSet, 10 * 1440 + 401, 10},   // a set near a rise does not match it
  };
  const Comparison rises = Compare(s, Kind::kRise, method, 120);
  EXPECT_EQ(rises.listed, 3);
  EXPECT_EQ(rises.differences, (std::vector<int64_t>{-2, 5}));
  EXPECT_EQ(rises.days.days, 4);
  EXPECT_EQ(rises.days.tableNone, 1);
  EXPECT_EQ(rises.days.invented, 1);
  EXPECT_EQ(rises.days.missing, 0);
  const Comparison sets = Compare(s, Kind::kSet, method, 120);
  EXPECT_TRUE(sets.differences.empty());
  EXPECT_EQ(sets.days.tableNone, 3);
  EXPECT_EQ(sets.days.bothNone, 3);
  EXPECT_EQ(sets.days.missing, 0);  // the method's set falls on day 10 too
  Comparison total = rises;
  Accumulate(total, sets);
  EXPECT_EQ(total.listed, 4);
  EXPECT_EQ(total.days.days, 8);
}

// Nearest rank: the ceil(p * n)-th smallest absolute difference. With 11
// values the median is the 6th and the 95th percentile the 11th.
TEST(SpreadOf, NearestRankOfAbsoluteDifferences) {
  EXPECT_EQ(SpreadOf({}).max, 0);
  std::vector<int64_t> d;
  for (int i = 1; i <= 11; ++i) d.push_back(i % 2 == 0 ? i : -i);
  const Spread s = SpreadOf(d);
  EXPECT_EQ(s.median, 6);
  EXPECT_EQ(s.p95, 11);
  EXPECT_EQ(s.max, 11);
  const Spread one = SpreadOf({-3});
  EXPECT_EQ(one.median, 3);
  EXPECT_EQ(one.p95, 3);
}

// Phase instants count days from J2000.0, noon: the new moon of 6 January 2000
// at 18:14 UT is day 5.2597.
TEST(ReadPhaseList, UniversalTimeFromJ2000AndBadLines) {
  std::istringstream in("0 2000-01-06T18:14:00.000Z\n\n3 1800-01-18T07:53:30Z\n");
  const std::vector<PublishedPhase> p = ReadPhaseList(in, "phases");
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0].quarter, 0);
  EXPECT_NEAR(p[0].day, 5 + (18 * 60 + 14) / 1440.0 - 0.5, 1e-9);
  EXPECT_EQ(p[1].quarter, 3);
  EXPECT_NEAR(p[1].day, DaysFromCivil(1800, 1, 18) - 0.5 + (7 * 60 + 53.5) / 1440.0, 1e-9);
  for (const char* bad : {"4 2000-01-06T18:14:00Z", "1 2001-02-29T00:00:00Z"}) {
    std::istringstream line(bad);
    EXPECT_THROW(ReadPhaseList(line, "phases"), TableError) << bad;
  }
  const FineSpread s = SpreadOfValues({-0.25, 1.5, -0.75});
  EXPECT_EQ(s.median, 0.75);
  EXPECT_EQ(s.max, 1.5);
}

}  // namespace
