// The clock and the time zone: the standard `time` (replaced here so tests
// can inject the clock), GetLocalTime, and GetTimeZoneInformation derived from
// the C library's zone (TZ).
#include <time.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>

#include "base_internal.h"
#include "orbel_test_api.h"

namespace standin {
namespace internal {
namespace {

std::atomic<bool> g_clock_injected{false};
std::atomic<long long> g_clock_ms{0};
std::optional<TimeZoneOverride> g_zone_override;
bool g_tz_saved = false;
bool g_tz_was_set = false;
std::string g_saved_tz;

long long RealNowMs() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// The injected clock counts milliseconds in 64 bits, about 292 million years
// either way. Setting or advancing it past either end stops it there instead
// of wrapping; the low end is a whole second, so that the second it falls in
// times 1000 is still representable.
constexpr long long kClockMinMs = LLONG_MIN / 1000 * 1000;
constexpr long long kClockMaxMs = LLONG_MAX;

long long SaturatingAddMs(long long ms, long long delta) {
  long long sum = 0;
  if (__builtin_add_overflow(ms, delta, &sum)) return delta > 0 ? kClockMaxMs : kClockMinMs;
  return sum < kClockMinMs ? kClockMinMs : sum;
}

long long SecondsToMs(long long seconds) {
  if (seconds > kClockMaxMs / 1000) return kClockMaxMs;
  if (seconds < kClockMinMs / 1000) return kClockMinMs;
  return seconds * 1000;
}

time_t FloorSeconds(long long ms) {
  return static_cast<time_t>(ms / 1000 - (ms % 1000 < 0 ? 1 : 0));
}

// The milliseconds past the whole second, 0-999, also before 1970.
int MillisecondsPart(long long ms) {
  return static_cast<int>((ms % 1000 + 1000) % 1000);
}

struct Sample {
  long offset = 0;  // seconds east of UTC
  bool dst = false;
};

Sample At(time_t t) {
  struct tm tm {};
  localtime_r(&t, &tm);
  return Sample{tm.tm_gmtoff, tm.tm_isdst > 0};
}

int DaysInMonth(int year, int month) {  // month 1..12
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// A transition as Windows describes a yearly rule: month, weekday, week of
// the month (5 = last) and the local time before the change.
SYSTEMTIME RuleOf(time_t change) {
  Sample before = At(change - 1);
  time_t wall = change + before.offset;
  struct tm tm {};
  gmtime_r(&wall, &tm);
  SYSTEMTIME st{};
  st.wMonth = static_cast<WORD>(tm.tm_mon + 1);
  st.wDayOfWeek = static_cast<WORD>(tm.tm_wday);
  int week = (tm.tm_mday - 1) / 7 + 1;
  if (tm.tm_mday + 7 > DaysInMonth(tm.tm_year + 1900, tm.tm_mon + 1)) week = 5;
  st.wDay = static_cast<WORD>(week);
  st.wHour = static_cast<WORD>(tm.tm_hour);
  st.wMinute = static_cast<WORD>(tm.tm_min);
  return st;
}

void Widen(const char* in, WCHAR* out, size_t n) {
  size_t i = 0;
  for (; in && in[i] && i + 1 < n; ++i)
    out[i] = static_cast<WCHAR>(static_cast<unsigned char>(in[i]));
  out[i] = 0;
}

void FillSystemTime(const struct tm& tm, int ms, SYSTEMTIME* st) {
  st->wYear = static_cast<WORD>(tm.tm_year + 1900);
  st->wMonth = static_cast<WORD>(tm.tm_mon + 1);
  st->wDayOfWeek = static_cast<WORD>(tm.tm_wday);
  st->wDay = static_cast<WORD>(tm.tm_mday);
  st->wHour = static_cast<WORD>(tm.tm_hour);
  st->wMinute = static_cast<WORD>(tm.tm_min);
  st->wSecond = static_cast<WORD>(tm.tm_sec);
  st->wMilliseconds = static_cast<WORD>(ms);
}

}  // namespace

long long NowMs() {
  return g_clock_injected ? g_clock_ms.load() : RealNowMs();
}

void AdvanceInjectedClockMs(long long ms) {
  if (g_clock_injected) g_clock_ms = SaturatingAddMs(g_clock_ms, ms);
}

void ResetClockAndZone() {
  g_clock_injected = false;
  g_zone_override.reset();
  if (g_tz_saved) {
    if (g_tz_was_set) {
      setenv("TZ", g_saved_tz.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
    g_tz_saved = false;
  }
}

}  // namespace internal

void SetClock(time_t t) {
  internal::g_clock_ms = internal::SecondsToMs(static_cast<long long>(t));
  internal::g_clock_injected = true;
}

void AdvanceClock(long long seconds) {
  if (!internal::g_clock_injected) SetClock(internal::FloorSeconds(internal::RealNowMs()));
  internal::g_clock_ms =
      internal::SaturatingAddMs(internal::g_clock_ms, internal::SecondsToMs(seconds));
}

void UseRealClock() {
  internal::g_clock_injected = false;
}

void SetTimeZone(const std::string& tz) {
  if (!internal::g_tz_saved) {
    const char* old = std::getenv("TZ");
    internal::g_tz_was_set = old != nullptr;
    internal::g_saved_tz = old ? old : "";
    internal::g_tz_saved = true;
  }
  setenv("TZ", tz.c_str(), 1);
  tzset();
}

void OverrideTimeZoneInformation(std::optional<TimeZoneOverride> tz) {
  internal::g_zone_override = tz;
}

}  // namespace standin

using namespace standin::internal;

// Replaces the C library's `time` for the whole program: the injected clock
// while one is set, else the real clock. localtime and friends are untouched.
extern "C" time_t time(time_t* out) noexcept {
  time_t now = FloorSeconds(NowMs());
  if (out) *out = now;
  return now;
}

extern "C" VOID WINAPI GetLocalTime(LPSYSTEMTIME st) {
  if (!st) return;
  long long ms = NowMs();
  time_t t = FloorSeconds(ms);
  struct tm tm {};
  localtime_r(&t, &tm);
  FillSystemTime(tm, MillisecondsPart(ms), st);
}

// Bias is the standard-time offset in minutes with UTC = local time + Bias
// (Central Europe: -60); DaylightBias is added during daylight saving time
// (normally -60). Zones without daylight saving time give
// TIME_ZONE_ID_UNKNOWN, others TIME_ZONE_ID_DAYLIGHT while it is in force
// and TIME_ZONE_ID_STANDARD otherwise.
extern "C" DWORD WINAPI GetTimeZoneInformation(LPTIME_ZONE_INFORMATION info) {
  if (!info) return TIME_ZONE_ID_INVALID;
  if (g_zone_override) {
    if (g_zone_override->result == TIME_ZONE_ID_INVALID) return TIME_ZONE_ID_INVALID;
    std::memset(info, 0, sizeof *info);
    info->Bias = g_zone_override->bias;
    info->StandardBias = g_zone_override->standard_bias;
    info->DaylightBias = g_zone_override->daylight_bias;
    return g_zone_override->result;
  }
  tzset();
  time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  struct tm jan {};
  jan.tm_year = local.tm_year;
  jan.tm_mday = 1;
  jan.tm_hour = 12;
  time_t jan1 = timegm(&jan);
  struct tm jul = jan;
  jul.tm_mon = 6;
  time_t jul1 = timegm(&jul);
  Sample a = At(jan1);
  Sample b = At(jul1);
  bool has_dst = a.dst != b.dst;
  long standard = !a.dst ? a.offset : b.offset;
  long daylight = a.dst ? a.offset : b.offset;

  std::memset(info, 0, sizeof *info);
  info->Bias = static_cast<LONG>(-standard / 60);
  info->StandardBias = 0;
  info->DaylightBias = has_dst ? static_cast<LONG>(-(daylight - standard) / 60) : 0;
  Widen(tzname[0], info->StandardName, 32);
  Widen(tzname[1], info->DaylightName, 32);
  if (!has_dst) return TIME_ZONE_ID_UNKNOWN;

  // The year's two changes: found day by day, then to the second.
  time_t start = jan1 - 12 * 3600;
  bool previous = At(start).dst;
  for (int day = 1; day <= 366; ++day) {
    time_t t = start + static_cast<time_t>(day) * 86400;
    bool dst = At(t).dst;
    if (dst == previous) continue;
    time_t lo = t - 86400, hi = t;  // At(lo).dst == previous, At(hi).dst == dst
    while (hi - lo > 1) {
      time_t mid = lo + (hi - lo) / 2;
      (At(mid).dst == previous ? lo : hi) = mid;
    }
    (dst ? info->DaylightDate : info->StandardDate) = RuleOf(hi);
    previous = dst;
  }
  return local.tm_isdst > 0 ? TIME_ZONE_ID_DAYLIGHT : TIME_ZONE_ID_STANDARD;
}
