// The re-entrant core: one scan per body, its crossings, zones with fractions
// of an hour, and several threads at once. (The sun's horizon as a parameter
// is checked through the almanac's twilights.)
#include "day_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "moon_events.h"
#include "sun_events.h"

namespace {

std::string Clock(const EventSlot& slot) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d", slot.hour, slot.minute);
  return slot.status != 0 ? "status " + std::to_string(slot.status) : text;
}

std::string Describe(const BodyDay& day) {
  std::string text = "rise " + Clock(day.rise) + ", set " + Clock(day.set) + ":";
  for (int i = 0; i < day.crossingCount; ++i) {
    const Crossing& c = day.crossings[i];
    char item[64];
    std::snprintf(item, sizeof item, " %s %02d:%02d %.17g %.17g",
                  c.kind == CrossingKind::kRise ? "rise" : "set", c.hour, c.minute, c.azimuth,
                  c.hours);
    text += item;
  }
  return text;
}

TEST(DayScan, EveryCrossingInOrderAndTheLastOfEachKindInItsSlot) {
  // 65 degrees north in June: the moon rises just after midnight, sets in the
  // morning and rises again just before the next midnight.
  const BodyDay day = MoonDay(DayQuery{25, 6, 2024, 65, 20, -1});
  ASSERT_EQ(day.crossingCount, 3) << Describe(day);
  const struct {
    CrossingKind kind;
    const char* clock;
    double hours;  // unrounded
  } crossings[] = {{CrossingKind::kRise, "00:20", 0.331986},
                   {CrossingKind::kSet, "05:03", 5.043334},
                   {CrossingKind::kRise, "23:57", 23.944940}};
  for (int i = 0; i < 3; ++i) {
    const Crossing& c = day.crossings[i];
    EXPECT_EQ(c.kind, crossings[i].kind) << i;
    EXPECT_EQ(Clock(EventSlot{0, c.hour, c.minute, c.azimuth}), crossings[i].clock) << i;
    EXPECT_NEAR(c.hours, crossings[i].hours, 5e-7) << i;
  }
  EXPECT_EQ(Clock(day.rise), "23:57");
  EXPECT_EQ(day.rise.azimuth, day.crossings[2].azimuth);
  EXPECT_EQ(Clock(day.set), "05:03");
  // The query functions report the same later rise.
  EXPECT_STREQ(MoonriseText(25, 6, 2024, 65, 20, -1), "23:57");
}

int Minutes(const EventSlot& slot) {
  return slot.hour * 60 + slot.minute;
}

// A zone with a fraction of an hour moves the local clock, not the event: the
// event's universal time stays within a minute of the whole-hour zone's. The
// places: Delhi, Kathmandu, St. John's, Adelaide and Tehran.
TEST(DayScan, ZonesWithFractionsOfAnHourGiveTheSameInstant) {
  const struct {
    double latitude, longitude, zone;
  } places[] = {{28.6139, 77.209, -5.5},
                {27.7172, 85.324, -5.75},
                {47.5615, -52.7126, 3.5},
                {-34.9285, 138.6007, -9.5},
                {35.6892, 51.389, -3.5}};
  int compared = 0;
  for (const auto& p : places) {
    for (uint32_t day = 1; day <= 28; day += 3) {
      for (uint32_t month = 1; month <= 12; ++month) {
        const DayQuery exact{day, month, 2026, p.latitude, p.longitude, p.zone};
        DayQuery whole = exact;
        whole.zone = static_cast<int>(p.zone);  // the whole hours toward zero
        const BodyDay a[] = {SunDay(exact), MoonDay(exact)}, b[] = {SunDay(whole), MoonDay(whole)};
        for (int i = 0; i < 4; ++i) {
          const EventSlot& x = i % 2 ? a[i / 2].set : a[i / 2].rise;
          const EventSlot& y = i % 2 ? b[i / 2].set : b[i / 2].rise;
          const double utcX = Minutes(x) + exact.zone * 60, utcY = Minutes(y) + whole.zone * 60;
          // The same event unless one day's window holds the next day's.
          if (x.status != 0 || y.status != 0 || std::abs(utcX - utcY) > 12 * 60) continue;
          EXPECT_NEAR(utcX, utcY, 1.0) << day << "." << month << " zone " << p.zone;
          ++compared;
        }
      }
    }
  }
  EXPECT_GT(compared, 1500);
  // Delhi, 21 December 2026: the sun rises at 07:09 on the local clock.
  EXPECT_EQ(Clock(SunDay(DayQuery{21, 12, 2026, 28.6139, 77.209, -5.5}).rise), "07:09");
}

// The core keeps no state: many threads scanning different days at once give
// the bits one thread gives.
TEST(DayScan, SeveralThreadsGiveTheBitsOfOne) {
  std::mt19937 random(20261207);
  std::uniform_real_distribution<double> latitude(-89, 89), longitude(-180, 180), zone(-12, 12);
  std::uniform_int_distribution<uint32_t> day(1, 28), month(1, 12), year(1900, 2100);
  std::vector<DayQuery> queries(4000);
  for (DayQuery& q : queries) {
    q = DayQuery{day(random),      month(random),     year(random),
                 latitude(random), longitude(random), zone(random)};
  }
  const auto scan = [&queries](size_t first, size_t step, std::vector<std::string>& out) {
    for (size_t i = first; i < queries.size(); i += step) {
      out[i] = Describe(SunDay(queries[i])) + " | " + Describe(MoonDay(queries[i]));
    }
  };
  std::vector<std::string> alone(queries.size()), together(queries.size());
  scan(0, 1, alone);
  const size_t kThreads = 4;
  std::vector<std::thread> threads;
  for (size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back(scan, t, kThreads, std::ref(together));
  }
  for (std::thread& thread : threads) thread.join();
  for (size_t i = 0; i < queries.size(); ++i) ASSERT_EQ(together[i], alone[i]) << i;
}

}  // namespace
