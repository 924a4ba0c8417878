// The clock and the zone: the injected clock behind `time`, and
// GetTimeZoneInformation from TZ with Windows' sign (UTC = local + Bias),
// daylight state and yearly change rules.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <climits>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

#include "orbel_test_api.h"

namespace {

const time_t kWinterNoonUtc = 1705320000;  // Monday 15 January 2024, 12:00 UTC
const time_t kSummerNoonUtc = 1721044800;  // Monday 15 July 2024, 12:00 UTC

class PlatformTimeZone : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override { standin::Reset(); }
};

struct Rule {
  int month, week, weekday, hour;
};

void ExpectRule(const SYSTEMTIME& st, const Rule& r) {
  EXPECT_EQ(st.wYear, 0);
  EXPECT_EQ(st.wMonth, r.month);
  EXPECT_EQ(st.wDay, r.week);
  EXPECT_EQ(st.wDayOfWeek, r.weekday);
  EXPECT_EQ(st.wHour, r.hour);
}

TEST_F(PlatformTimeZone, BiasSignDaylightStateAndRules) {
  struct Case {
    const char* tz;
    time_t clock;
    DWORD result;
    LONG bias;
    LONG daylight_bias;
    Rule standard_date;
    Rule daylight_date;
  };
  const Case cases[] = {
      {"CET-1CEST,M3.5.0,M10.5.0/3",
       kWinterNoonUtc,
       TIME_ZONE_ID_STANDARD,
       -60,
       -60,
       {10, 5, 0, 3},
       {3, 5, 0, 2}},
      {"CET-1CEST,M3.5.0,M10.5.0/3",
       kSummerNoonUtc,
       TIME_ZONE_ID_DAYLIGHT,
       -60,
       -60,
       {10, 5, 0, 3},
       {3, 5, 0, 2}},
      {"EST5EDT,M3.2.0,M11.1.0",
       kWinterNoonUtc,
       TIME_ZONE_ID_STANDARD,
       300,
       -60,
       {11, 1, 0, 2},
       {3, 2, 0, 2}},
      {"AEST-10AEDT,M10.1.0,M4.1.0/3",
       kWinterNoonUtc,
       TIME_ZONE_ID_DAYLIGHT,
       -600,
       -60,
       {4, 1, 0, 3},
       {10, 1, 0, 2}},
      {"IST-5:30", kSummerNoonUtc, TIME_ZONE_ID_UNKNOWN, -330, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
      {"UTC0", kWinterNoonUtc, TIME_ZONE_ID_UNKNOWN, 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tz);
    standin::SetTimeZone(c.tz);
    standin::SetClock(c.clock);
    TIME_ZONE_INFORMATION tzi;
    std::memset(&tzi, 0xAB, sizeof tzi);
    EXPECT_EQ(GetTimeZoneInformation(&tzi), c.result);
    EXPECT_EQ(tzi.Bias, c.bias);
    EXPECT_EQ(tzi.StandardBias, 0);
    EXPECT_EQ(tzi.DaylightBias, c.daylight_bias);
    ExpectRule(tzi.StandardDate, c.standard_date);
    ExpectRule(tzi.DaylightDate, c.daylight_date);
    // UTC = local time + Bias (+ DaylightBias while daylight saving time is in force).
    time_t now = time(nullptr);
    struct tm* local = localtime(&now);
    int local_minutes = local->tm_hour * 60 + local->tm_min;
    int bias = tzi.Bias + (c.result == TIME_ZONE_ID_DAYLIGHT ? tzi.DaylightBias : 0);
    EXPECT_EQ(((local_minutes + bias) % 1440 + 1440) % 1440, 12 * 60);
  }
}

TEST_F(PlatformTimeZone, NamedZoneFromTheZoneDatabase) {
  standin::SetTimeZone("Europe/Berlin");
  standin::SetClock(kSummerNoonUtc);
  TIME_ZONE_INFORMATION tzi{};
  EXPECT_EQ(GetTimeZoneInformation(&tzi), static_cast<DWORD>(TIME_ZONE_ID_DAYLIGHT));
  EXPECT_EQ(tzi.Bias, -60);
  EXPECT_EQ(tzi.DaylightBias, -60);
  EXPECT_EQ(tzi.StandardName[0], L'C');  // "CET"
}

TEST_F(PlatformTimeZone, InjectedZoneInformation) {
  standin::OverrideTimeZoneInformation(standin::TimeZoneOverride{-330, 0, 0, TIME_ZONE_ID_UNKNOWN});
  TIME_ZONE_INFORMATION tzi{};
  EXPECT_EQ(GetTimeZoneInformation(&tzi), static_cast<DWORD>(TIME_ZONE_ID_UNKNOWN));
  EXPECT_EQ(tzi.Bias, -330);
  // Failure leaves the caller's structure as it was.
  standin::OverrideTimeZoneInformation(
      standin::TimeZoneOverride{0, 0, 0, static_cast<DWORD>(TIME_ZONE_ID_INVALID)});
  TIME_ZONE_INFORMATION untouched;
  std::memset(&untouched, 0x5A, sizeof untouched);
  TIME_ZONE_INFORMATION copy = untouched;
  EXPECT_EQ(GetTimeZoneInformation(&untouched), TIME_ZONE_ID_INVALID);
  EXPECT_EQ(std::memcmp(&untouched, &copy, sizeof copy), 0);
  standin::OverrideTimeZoneInformation(std::nullopt);
  standin::SetTimeZone("UTC0");
  EXPECT_EQ(GetTimeZoneInformation(&tzi), static_cast<DWORD>(TIME_ZONE_ID_UNKNOWN));
}

TEST_F(PlatformTimeZone, InjectedClockBehindTime) {
  standin::SetTimeZone("CET-1CEST,M3.5.0,M10.5.0/3");
  standin::SetClock(kWinterNoonUtc);
  time_t out = 0;
  EXPECT_EQ(time(&out), kWinterNoonUtc);
  EXPECT_EQ(out, kWinterNoonUtc);
  standin::AdvanceClock(61);
  EXPECT_EQ(time(nullptr), kWinterNoonUtc + 61);
  SYSTEMTIME local{};
  GetLocalTime(&local);
  EXPECT_EQ((std::vector<int>{local.wYear, local.wMonth, local.wDay, local.wDayOfWeek, local.wHour,
                              local.wMinute, local.wSecond}),
            (std::vector<int>{2024, 1, 15, 1, 13, 1, 1}));
  // Before 1970 the clock still rounds down to whole seconds.
  standin::SetClock(-1);
  EXPECT_EQ(time(nullptr), -1);
  // Milliseconds before 1970 belong to the second before: -1 s + 250 ms is
  // still second -1.
  HWND owner =
      CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  standin::Perform(owner, standin::Input::AdvanceTime(250));
  EXPECT_EQ(time(nullptr), -1);
  // Back to the real clock.
  standin::UseRealClock();
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  EXPECT_LE(std::llabs(static_cast<long long>(time(nullptr)) - ts.tv_sec), 1);
}

// The injected clock stops at the ends of its 64-bit millisecond range
// instead of wrapping round to the other end of time.
TEST_F(PlatformTimeZone, InjectedClockStopsAtItsEnds) {
  const time_t kLast = LLONG_MAX / 1000;   // the last whole second it holds
  const time_t kFirst = LLONG_MIN / 1000;  // and the first
  struct Case {
    time_t set;
    long long advance;
    time_t expected;
  };
  const Case cases[] = {
      {kLast, 0, kLast},
      {std::numeric_limits<time_t>::max(), 0, kLast},
      {kLast - 10, 3600, kLast},
      {kLast, LLONG_MAX, kLast},
      {kLast, -10, kLast - 10},
      {kFirst, 0, kFirst},
      {std::numeric_limits<time_t>::min(), 0, kFirst},
      {kFirst + 10, -3600, kFirst},
      {kFirst, LLONG_MIN, kFirst},
      {kFirst, 10, kFirst + 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.set) + " + " + std::to_string(c.advance));
    standin::SetClock(c.set);
    standin::AdvanceClock(c.advance);
    EXPECT_EQ(time(nullptr), c.expected);
    SYSTEMTIME st{};
    GetLocalTime(&st);  // the date is out of range; only the milliseconds are asked
    EXPECT_LT(st.wMilliseconds, 1000);
  }
}

}  // namespace
