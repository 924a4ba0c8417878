#include "clock.h"

#include <ctime>

namespace orbel {

namespace {

bool ToLocal(std::time_t t, std::tm& local) {
#ifdef _WIN32
  return localtime_s(&local, &t) == 0;
#else
  return localtime_r(&t, &local) != nullptr;
#endif
}

#ifdef _WIN32
// Days from 1970-01-01 to a proleptic Gregorian date.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}
#endif

// Seconds east of UTC of the local time t (as tm_gmtoff gives it).
bool UtcOffset(std::time_t t, const std::tm& local, long& offset) {
#ifdef _WIN32
  // No tm_gmtoff: compare the local and the UTC reading of the same instant.
  std::tm utc{};
  if (gmtime_s(&utc, &t) != 0) return false;
  const auto seconds = [](const std::tm& tm) {
    return DaysFromCivil(tm.tm_year + 1900LL, tm.tm_mon + 1, tm.tm_mday) * 86400 +
           tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec;
  };
  offset = static_cast<long>(seconds(local) - seconds(utc));
  return true;
#else
  (void)t;
  offset = local.tm_gmtoff;
  return true;
#endif
}

}  // namespace

Date Today() {
  std::tm local{};
  if (!ToLocal(std::time(nullptr), local)) return Date{2000, 1, 1};
  return Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::optional<int> SystemZone(const Date& date) {
  std::tm noon{};
  noon.tm_year = date.year - 1900;
  noon.tm_mon = date.month - 1;
  noon.tm_mday = date.day;
  noon.tm_hour = 12;
  noon.tm_isdst = -1;  // let the C library decide whether daylight saving applies
  const std::time_t t = std::mktime(&noon);
  if (t == static_cast<std::time_t>(-1)) return std::nullopt;
  std::tm local{};
  long offset = 0;
  if (!ToLocal(t, local) || !UtcOffset(t, local, offset)) return std::nullopt;
  return static_cast<int>(-offset / 3600);
}

}  // namespace orbel
