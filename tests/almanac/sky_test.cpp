// Twilight, the next occurrence of an event and whether a body is up, at
// given instants: all from the same day scans as the printed times.
#include "sky.h"

#include "day.h"
#include "format.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "phases.h"
#include "sun_events.h"

namespace {

const orbel::Circle& CircleOf(const char* event) {
  return orbel::FindEvent(event)->kind->circle;
}

const orbel::Place kBerlin{52.52, 13.405, "given"}, kTromso{69.65, 18.96, "given"};

// Dawn and dusk are the sun scan's crossings of the circles 96, 102 and 108
// degrees from the zenith; days without one say why in words.
TEST(Twilight, DawnAndDuskOfEachDepthOrWhyNot) {
  const orbel::DayReport r = orbel::ComputeDay({2026, 6, 21}, kBerlin, orbel::FixedZone(7200));
  const double zenith[3] = {96, 102, 108};
  const char* const kinds[3] = {"civil", "nautical", "astronomical"};
  for (int i = 0; i < 3; ++i) {
    const BodyDay sun = SunDay(DayQuery{21, 6, 2026, 52.52, 13.405, -2}, zenith[i]);
    const std::string dawn = std::string(kinds[i]) + "-dawn",
                      dusk = std::string(kinds[i]) + "-dusk";
    for (const auto& [slot, event] :
         {std::pair{&sun.rise, &r.Find(dawn)}, std::pair{&sun.set, &r.Find(dusk)}}) {
      EXPECT_EQ(event->status, slot->status) << i;
      EXPECT_EQ(event->hour * 60 + event->minute, slot->hour * 60 + slot->minute) << i;
    }
  }
  EXPECT_EQ(r.Find("astronomical-dawn").text, "SUN ABOVE -18\xC2\xB0 ALL DAY");  // a white night
  const orbel::DayReport polar =
      orbel::ComputeDay({2026, 12, 21}, {80, 15, "given"}, orbel::FixedZone(3600));
  EXPECT_EQ(polar.Find("civil-dusk").text, "SUN BELOW -6\xC2\xB0 ALL DAY");
}

// Injected instants: the next event over the days, past polar night and
// through a day with two moonrises; none within a shorter search.
TEST(NextOccurrence, AcrossDaysPolarNightsAndTwoMoonrisesInADay) {
  const orbel::Zone zone = orbel::FixedZone(3600);
  const int64_t may15 = orbel::DayNumber({2026, 5, 15}) * 86400 - 3600;  // local midnight
  const orbel::EventRef moonrise = *orbel::FindEvent("moonrise");
  const auto first = orbel::NextOccurrence(moonrise, kTromso, zone, may15);
  ASSERT_TRUE(first);
  const auto second = orbel::NextOccurrence(moonrise, kTromso, zone, first->instant + 1);
  ASSERT_TRUE(second);
  EXPECT_EQ(orbel::FormatDate(first->date), "2026-05-15");
  EXPECT_EQ(orbel::FormatDate(second->date), "2026-05-15");  // the day's second moonrise
  // The report holds both in time order, each at the minute of its instant
  // with its azimuth; its one moonrise is the later.
  const orbel::DayReport r = orbel::ComputeDay({2026, 5, 15}, kTromso, zone);
  const std::vector<orbel::Event>& rises = r.Of(*moonrise.kind).rises;
  ASSERT_EQ(rises.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const orbel::Occurrence& o = i == 0 ? *first : *second;
    EXPECT_EQ(rises[i].at, (o.instant + 30) / 60 * 60) << i;
    EXPECT_NEAR(rises[i].azimuth, o.azimuth, 1e-9) << i;
  }
  EXPECT_EQ(r.Find("moonrise").text, rises[1].text);

  // Svalbard after the polar night: the first sunrise is in February.
  const orbel::Place svalbard{78.2, 15.6, "given"};
  const int64_t december = orbel::DayNumber({2026, 12, 1}) * 86400;
  const auto sunrise =
      orbel::NextOccurrence(*orbel::FindEvent("sunrise"), svalbard, orbel::FixedZone(0), december);
  ASSERT_TRUE(sunrise);
  EXPECT_EQ(orbel::FormatDate(sunrise->date).substr(0, 7), "2027-02");
  EXPECT_FALSE(orbel::NextOccurrence(*orbel::FindEvent("sunrise"), svalbard, orbel::FixedZone(0),
                                     december, 30));
  EXPECT_FALSE(orbel::FindEvent("teatime"));
}

// Up after a rise and before the next set, as the printed times say; up all
// day under the midnight sun; the twilight band between the circles.
TEST(IsUp, AgreesWithThePrintedTimes) {
  const orbel::Zone zone = orbel::FixedZone(7200);
  const orbel::DayReport r = orbel::ComputeDay({2026, 6, 21}, kBerlin, zone);
  const int64_t midnight = orbel::DayNumber({2026, 6, 21}) * 86400 - 7200;
  const auto at = [&](const orbel::Event& e, int minutes) {
    return midnight + (e.hour * 60 + e.minute + minutes) * 60;
  };
  for (const auto& [body, rise, set] :
       {std::tuple{&CircleOf("sunrise"), &r.Find("sunrise"), &r.Find("sunset")},
        std::tuple{&CircleOf("civil-dawn"), &r.Find("civil-dawn"), &r.Find("civil-dusk")}}) {
    EXPECT_FALSE(orbel::IsUp(*body, kBerlin, zone, at(*rise, -2)));
    EXPECT_TRUE(orbel::IsUp(*body, kBerlin, zone, at(*rise, 2)));
    EXPECT_TRUE(orbel::IsUp(*body, kBerlin, zone, at(*set, -2)));
    EXPECT_FALSE(orbel::IsUp(*body, kBerlin, zone, at(*set, 2)));
  }
  EXPECT_EQ(orbel::SunBand(kBerlin, zone, at(r.Find("sunset"), 10)), "civil twilight");
  EXPECT_EQ(orbel::SunBand(kBerlin, zone, at(r.Find("nautical-dusk"), 10)),
            "astronomical twilight");
  EXPECT_TRUE(orbel::IsUp(CircleOf("sunrise"), kTromso, zone, midnight));  // midnight sun
  EXPECT_EQ(orbel::SunBand(kTromso, zone, midnight), "day");
  const SkyPosition noon =
      orbel::PositionAt(orbel::Body::kSun, kBerlin, zone, midnight + 13 * 3600);
  EXPECT_NEAR(noon.altitude, 90 - 52.52 + 23.44, 0.5);  // the solstice's highest sun
  EXPECT_NEAR(noon.azimuth, 180, 10);
}

// Principal phases against published instants, within the accuracy target of
// 35 minutes, with the lit fraction there; a year's list in the order the
// phases follow each other.
TEST(Phases, PublishedInstantsTheLitFractionAndAYearsList) {
  const struct {
    PrincipalPhase phase;
    int64_t instant;
    double lit;
  } published[] = {
      {kFullMoon, 1767434580, 1},        // 2026-01-03 10:03 UT
      {kLastQuarter, 1712027700, 0.5},   // 2024-04-02 03:15 UT
      {kNewMoon, 1712600460, 0},         // 2024-04-08 18:21 UT, a total solar eclipse
      {kFirstQuarter, 1713208380, 0.5},  // 2024-04-15 19:13 UT
      {kFullMoon, 1713916140, 1},        // 2024-04-23 23:49 UT
  };
  for (const auto& p : published) {
    const orbel::PhaseInstant found = orbel::NextPhase(p.instant - 2 * 3600);
    EXPECT_EQ(found.phase, p.phase) << p.instant;
    EXPECT_LE(std::llabs(found.instant - p.instant), 35 * 60) << p.instant;
    EXPECT_NEAR(orbel::IlluminatedAt(p.instant), p.lit, 0.02) << p.instant;
  }
  // The lit fraction of a report is taken at its local clock time.
  EXPECT_EQ(orbel::ComputeDay({2026, 1, 3}, kBerlin, orbel::FixedZone(0), 603).illuminated,
            orbel::IlluminatedAt(1767434580));
  const std::vector<orbel::PhaseInstant> year = orbel::PhasesBetween(
      orbel::DayNumber({2026, 1, 1}) * 86400, orbel::DayNumber({2027, 1, 1}) * 86400);
  ASSERT_EQ(year.size(), 50u);
  for (size_t i = 1; i < year.size(); ++i) {
    EXPECT_EQ(year[i].phase, (year[i - 1].phase + 1) % 4) << i;
    EXPECT_NEAR(year[i].instant - year[i - 1].instant, 7.38 * 86400, 1.2 * 86400) << i;
  }
  EXPECT_EQ(orbel::LocalMinuteText(orbel::FixedZone(3600), year[0].instant), "2026-01-03 11:06");
}

}  // namespace
