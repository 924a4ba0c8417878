// The clock and the zone: the injected clock behind `time`, and
// GetTimeZoneInformation from TZ with Windows' sign (UTC = local + Bias),
// daylight state and yearly change rules.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>
#include <vector>

#include "orbel_test_api.h"

namespace {

const time_t kWinter = 1705320000;  // Monday 15 January 2024, 12:00 UTC
const time_t kSummer = 1721044800;  // Monday 15 July 2024, 12:00 UTC

class PlatformTimeZone : public ::testing::Test {
 protected:
  void SetUp() override { standin::Reset(); }
  void TearDown() override { standin::Reset(); }
};

// A yearly change rule in TZ's form: month, week of the month (5 = last),
// weekday and the local hour before the change; a year would be an error.
std::string Rule(const SYSTEMTIME& st) {
  char s[48];
  std::snprintf(s, sizeof s, "%sM%d.%d.%d/%d", st.wYear ? "a year and " : "", st.wMonth, st.wDay,
                st.wDayOfWeek, st.wHour);
  return s;
}

TEST_F(PlatformTimeZone, BiasSignDaylightStateAndRules) {
  const DWORD kStd = TIME_ZONE_ID_STANDARD, kDst = TIME_ZONE_ID_DAYLIGHT;
  const DWORD kNoDst = TIME_ZONE_ID_UNKNOWN;
  const char* const kNone = "M0.0.0/0";
  const struct {
    const char* tz;
    time_t clock;
    DWORD result;
    LONG bias, daylight_bias;
    const char *standard_date, *daylight_date;
  } cases[] = {
      {"CET-1CEST,M3.5.0,M10.5.0/3", kWinter, kStd, -60, -60, "M10.5.0/3", "M3.5.0/2"},
      {"CET-1CEST,M3.5.0,M10.5.0/3", kSummer, kDst, -60, -60, "M10.5.0/3", "M3.5.0/2"},
      {"Europe/Berlin", kSummer, kDst, -60, -60, "M10.5.0/3", "M3.5.0/2"},
      {"EST5EDT,M3.2.0,M11.1.0", kWinter, kStd, 300, -60, "M11.1.0/2", "M3.2.0/2"},
      {"AEST-10AEDT,M10.1.0,M4.1.0/3", kWinter, kDst, -600, -60, "M4.1.0/3", "M10.1.0/2"},
      {"IST-5:30", kSummer, kNoDst, -330, 0, kNone, kNone},
      {"UTC0", kWinter, kNoDst, 0, 0, kNone, kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tz);
    standin::SetTimeZone(c.tz);
    standin::SetClock(c.clock);
    TIME_ZONE_INFORMATION tzi;
    std::memset(&tzi, 0xAB, sizeof tzi);
    EXPECT_EQ(GetTimeZoneInformation(&tzi), c.result);
    EXPECT_EQ(tzi.Bias, c.bias);
    EXPECT_EQ(tzi.StandardBias, 0);
    EXPECT_EQ(tzi.DaylightBias, c.daylight_bias);
    EXPECT_EQ(Rule(tzi.StandardDate), c.standard_date);
    EXPECT_EQ(Rule(tzi.DaylightDate), c.daylight_date);
    // UTC = local time + Bias (+ DaylightBias while daylight saving time is in force).
    time_t now = time(nullptr);
    struct tm* local = localtime(&now);
    int bias = tzi.Bias + (c.result == kDst ? tzi.DaylightBias : 0);
    EXPECT_EQ(((local->tm_hour * 60 + local->tm_min + bias) % 1440 + 1440) % 1440, 12 * 60);
  }
}

// An injected result; a failure leaves the caller's structure as it was.
TEST_F(PlatformTimeZone, InjectedZoneInformation) {
  TIME_ZONE_INFORMATION tzi;
  standin::OverrideTimeZoneInformation(standin::TimeZoneOverride{-330, 0, 0, TIME_ZONE_ID_UNKNOWN});
  EXPECT_EQ(GetTimeZoneInformation(&tzi), static_cast<DWORD>(TIME_ZONE_ID_UNKNOWN));
  EXPECT_EQ(tzi.Bias, -330);
  standin::OverrideTimeZoneInformation(standin::TimeZoneOverride{0, 0, 0, TIME_ZONE_ID_INVALID});
  TIME_ZONE_INFORMATION copy = tzi;
  EXPECT_EQ(GetTimeZoneInformation(&tzi), TIME_ZONE_ID_INVALID);
  EXPECT_EQ(std::memcmp(&tzi, &copy, sizeof copy), 0);
}

TEST_F(PlatformTimeZone, InjectedClockBehindTime) {
  standin::SetTimeZone("CET-1CEST,M3.5.0,M10.5.0/3");
  standin::SetClock(kWinter);
  standin::AdvanceClock(61);
  time_t out = 0;
  EXPECT_EQ(time(&out), kWinter + 61);
  EXPECT_EQ(out, kWinter + 61);
  SYSTEMTIME local{};
  GetLocalTime(&local);
  EXPECT_EQ((std::vector<int>{local.wYear, local.wMonth, local.wDay, local.wDayOfWeek, local.wHour,
                              local.wMinute, local.wSecond}),
            (std::vector<int>{2024, 1, 15, 1, 13, 1, 1}));
  // Before 1970 a time rounds down to whole seconds: -1 s + 250 ms is still
  // second -1.
  standin::SetClock(-1);
  standin::Perform(nullptr, standin::Input::AdvanceTime(250));
  EXPECT_EQ(time(nullptr), -1);
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
  const time_t kMax = std::numeric_limits<time_t>::max();
  const time_t kMin = std::numeric_limits<time_t>::min();
  const struct {
    time_t set;
    long long advance;
    time_t expected;
  } cases[] = {{kLast, 0, kLast},           {kMax, 0, kLast},
               {kLast - 10, 3600, kLast},   {kLast, LLONG_MAX, kLast},
               {kLast, -10, kLast - 10},    {kFirst, 0, kFirst},
               {kMin, 0, kFirst},           {kFirst + 10, -3600, kFirst},
               {kFirst, LLONG_MIN, kFirst}, {kFirst, 10, kFirst + 10}};
  for (const auto& c : cases) {
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
