#include "zone.h"

#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <system_error>

#ifdef ORBEL_HAVE_CCTZ
#include <cctz/time_zone.h>
#endif
#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "place.h"

namespace orbel {

namespace {

constexpr int kMinOffset = -12 * 3600;
constexpr int kMaxOffset = 14 * 3600;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// "H", "HH", "H:MM" or "HH:MM" after an optional sign, into minutes; false
// when the text has another form.
bool ReadHoursAndMinutes(std::string_view text, int& sign, int& minutes) {
  sign = 1;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    sign = text[0] == '-' ? -1 : 1;
    text.remove_prefix(1);
  }
  const size_t colon = text.find(':');
  const std::string_view hours = text.substr(0, colon);
  if (hours.empty() || hours.size() > 2 || !IsDigit(hours[0]) || !IsDigit(hours.back())) {
    return false;
  }
  minutes = std::atoi(std::string(hours).c_str()) * 60;
  if (colon == std::string_view::npos) return true;
  const std::string_view mm = text.substr(colon + 1);
  if (mm.size() != 2 || !IsDigit(mm[0]) || !IsDigit(mm[1])) return false;
  const int m = (mm[0] - '0') * 10 + (mm[1] - '0');
  if (m >= 60) throw InputError("the minutes must be below 60");
  minutes += m;
  return true;
}

#ifndef _WIN32
// The system zone's name: TZ without a leading ':', else what /etc/localtime
// links to below a zoneinfo folder, else /etc/timezone.
std::string SystemZoneName() {
  if (const char* tz = std::getenv("TZ"); tz != nullptr && *tz != '\0') {
    return tz[0] == ':' ? tz + 1 : tz;
  }
  char target[4096];
  const ssize_t n = readlink("/etc/localtime", target, sizeof target - 1);
  if (n > 0) {
    const std::string link(target, static_cast<size_t>(n));
    const size_t at = link.find("zoneinfo/");
    if (at != std::string::npos) return link.substr(at + 9);
  }
  std::ifstream file("/etc/timezone");
  std::string name;
  if (std::getline(file, name) && !name.empty()) return name;
  return "system zone";
}
#endif

}  // namespace

Zone FixedZone(int offset) {
  return Zone{"", [offset](int64_t) { return std::optional<ZoneState>(ZoneState{offset, ""}); }};
}

Zone SystemZone() {
#ifdef _WIN32
  // The system's zone rules through Win32, which cover 1601 to 30827. The C
  // runtime's localtime would read a TZ variable in its own format instead.
  return Zone{"system zone", [](int64_t utc) -> std::optional<ZoneState> {
                constexpr int64_t kFileTimeOf1970 = 11644473600;  // seconds from 1601
                if (utc < -kFileTimeOf1970 || utc > 900000000000) return std::nullopt;
                ULARGE_INTEGER ticks;
                ticks.QuadPart = static_cast<ULONGLONG>(utc + kFileTimeOf1970) * 10000000;
                FILETIME universal{ticks.LowPart, ticks.HighPart}, local{};
                SYSTEMTIME universalTime, localTime;
                if (!FileTimeToSystemTime(&universal, &universalTime) ||
                    !SystemTimeToTzSpecificLocalTime(nullptr, &universalTime, &localTime) ||
                    !SystemTimeToFileTime(&localTime, &local)) {
                  return std::nullopt;
                }
                ULARGE_INTEGER localTicks;
                localTicks.LowPart = local.dwLowDateTime;
                localTicks.HighPart = local.dwHighDateTime;
                const int64_t difference = static_cast<int64_t>(localTicks.QuadPart) -
                                           static_cast<int64_t>(ticks.QuadPart);
                return ZoneState{static_cast<int>(difference / 10000000), ""};
              }};
#else
  tzset();
  return Zone{SystemZoneName(), [](int64_t utc) -> std::optional<ZoneState> {
                const std::time_t t = static_cast<std::time_t>(utc);
                std::tm local{};
                if (localtime_r(&t, &local) == nullptr) return std::nullopt;
                return ZoneState{static_cast<int>(local.tm_gmtoff),
                                 local.tm_zone != nullptr ? local.tm_zone : ""};
              }};
#endif
}

bool HaveZoneDatabase() {
#ifdef ORBEL_HAVE_CCTZ
  return true;
#else
  return false;
#endif
}

std::string ZoneDatabaseDir() {
  const char* dir = std::getenv("TZDIR");
  return dir != nullptr && *dir != '\0' ? dir : "/usr/share/zoneinfo";
}

Zone NamedZone(std::string_view name) {
#ifdef ORBEL_HAVE_CCTZ
  // Names are paths below the database folder: nothing that could leave it.
  bool safe = !name.empty() && name[0] != '/' && name.find("..") == std::string_view::npos;
  for (const char c : name) {
    safe = safe && (std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '_' ||
                    c == '-' || c == '+');
  }
  auto zone = std::make_shared<cctz::time_zone>();
  if (!safe || !cctz::load_time_zone(std::string(name), zone.get())) {
    throw InputError("no such time zone in the zone database (" + ZoneDatabaseDir() +
                     "); names look like Europe/Berlin or Asia/Kolkata");
  }
  return Zone{std::string(name), [zone](int64_t utc) -> std::optional<ZoneState> {
                const auto instant = std::chrono::time_point_cast<cctz::seconds>(
                    std::chrono::system_clock::from_time_t(0) + cctz::seconds(utc));
                const cctz::time_zone::absolute_lookup local = zone->lookup(instant);
                return ZoneState{local.offset, local.abbr != nullptr ? local.abbr : ""};
              }};
#else
  (void)name;
  throw InputError(
      "this build has no time zone database; give the offset with --utc-offset or --zone");
#endif
}

int ParseUtcOffset(std::string_view text) {
  int sign = 1, minutes = 0;
  if (!ReadHoursAndMinutes(text, sign, minutes)) {
    throw InputError("expected an offset from UTC as +HH:MM or -HH:MM, such as +05:30");
  }
  const int offset = sign * minutes * 60;
  if (offset < kMinOffset || offset > kMaxOffset) {
    throw InputError("the offset must be between -12:00 and +14:00");
  }
  return offset;
}

int ParseClockShift(std::string_view text) {
  int sign = 1, minutes = 0;
  if (!ReadHoursAndMinutes(text, sign, minutes) || minutes >= 24 * 60) {
    throw InputError("expected a shift as +HH:MM or -HH:MM below 24 hours, such as -00:30");
  }
  return sign * minutes * 60;
}

int ParseEngineZone(std::string_view text) {
  int sign = 1, minutes = 0;
  int offset = 0;
  if (ReadHoursAndMinutes(text, sign, minutes)) {
    offset = -sign * minutes * 60;
  } else {
    // A decimal number of hours: one '+' allowed, as from_chars takes none.
    std::string_view number = text;
    if (!number.empty() && number[0] == '+') number.remove_prefix(1);
    if (number.empty() || number[0] == '+' || (number[0] == '-' && number.data() != text.data())) {
      throw InputError(
          "expected hours that, added to the local clock, give UTC: -1, -5.5 or -5:30");
    }
    double hours = 0;
    const char* last = number.data() + number.size();
    const auto result = std::from_chars(number.data(), last, hours);
    if (result.ec != std::errc() || result.ptr != last || !std::isfinite(hours)) {
      throw InputError(
          "expected hours that, added to the local clock, give UTC: -1, -5.5 or -5:30");
    }
    const double zoneMinutes = hours * 60;
    if (std::fabs(zoneMinutes) > 100000 || zoneMinutes != std::round(zoneMinutes)) {
      throw InputError(std::fabs(zoneMinutes) > 100000 ? "the zone must be between -14 and +12"
                                                       : "not a whole number of minutes");
    }
    offset = -static_cast<int>(zoneMinutes) * 60;
  }
  if (offset < kMinOffset || offset > kMaxOffset) {
    throw InputError(
        "the zone must be between -14 and +12 (hours added to the local clock give "
        "UTC)");
  }
  return offset;
}

std::string FormatOffset(int offset) {
  const int magnitude = offset < 0 ? -offset : offset;
  char text[24];
  if (magnitude % 60 == 0) {
    std::snprintf(text, sizeof text, "%c%02d:%02d", offset < 0 ? '-' : '+', magnitude / 3600,
                  magnitude / 60 % 60);
  } else {
    std::snprintf(text, sizeof text, "%c%02d:%02d:%02d", offset < 0 ? '-' : '+', magnitude / 3600,
                  magnitude / 60 % 60, magnitude % 60);
  }
  return text;
}

double EngineZone(int offset) {
  return -offset / 3600.0;
}

}  // namespace orbel
