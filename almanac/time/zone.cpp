#include "zone.h"

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>

#include <fmt/format.h>

#ifdef ORBEL_HAVE_CCTZ
#include <cctz/time_zone.h>
#endif
#ifdef _WIN32
#include <windows.h>
#endif

#include "error.h"
#include "posix_rule.h"
#include "printable.h"

namespace orbel {

namespace {

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

}  // namespace

Zone FixedZone(int offset) {
  return Zone{"", [offset](Instant) { return std::optional<ZoneState>(ZoneState{offset, ""}); }};
}

namespace {

// What the zone database does not know: the message of NamedZone.
std::string NoSuchZone() {
  return "no such time zone in the zone database (" + Printable(ZoneDatabaseDir(), 40) +
         ") and no POSIX TZ rule; names look like Europe/Berlin, rules like "
         "CET-1CEST,M3.5.0,M10.5.0/3";
}

// A zone of a POSIX rule, named by its text.
std::optional<Zone> RuleZone(std::string_view text) {
  const std::optional<PosixRule> rule = ParsePosixRule(text);
  if (!rule) return std::nullopt;
  return Zone{std::string(text), [rule = *rule](Instant utc) {
                return std::optional<ZoneState>(PosixRuleAt(rule, utc));
              }};
}

#ifdef ORBEL_HAVE_CCTZ
// A zone file through CCTZ: a name below the database folder, or a path.
std::optional<Zone> DatabaseZone(std::string name, const std::string& file) {
  auto zone = std::make_shared<cctz::time_zone>();
  if (!cctz::load_time_zone(file, zone.get())) return std::nullopt;
  return Zone{std::move(name), [zone](Instant utc) -> std::optional<ZoneState> {
                // Whole seconds: a nanosecond time point would overflow
                // outside 1678-2261, and the tool takes years 1 to 9999.
                const cctz::time_point<cctz::seconds> instant{cctz::seconds(utc)};
                const cctz::time_zone::absolute_lookup local = zone->lookup(instant);
                return ZoneState{local.offset, local.abbr != nullptr ? local.abbr : ""};
              }};
}
#endif

// Whether a name can only mean a file below the database folder.
bool IsDatabaseName(std::string_view name) {
  bool safe = !name.empty() && name[0] != '/' && name.find("..") == std::string_view::npos;
  for (const char c : name) {
    safe = safe && (std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '_' ||
                    c == '-' || c == '+');
  }
  return safe;
}

}  // namespace

Zone UtcZone() {
  return Zone{"UTC", [](Instant) { return std::optional<ZoneState>(ZoneState{0, "UTC"}); }};
}

Zone SystemZone(std::string name) {
#ifdef _WIN32
  // The system's zone rules through Win32, which cover 1601 to 30827. The C
  // runtime's localtime would read a TZ variable in its own format instead.
  return Zone{std::move(name), [](Instant utc) -> std::optional<ZoneState> {
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
#elif defined(ORBEL_HAVE_CCTZ)
  if (std::optional<Zone> zone = DatabaseZone(std::move(name), "/etc/localtime")) return *zone;
  return UtcZone();
#else
  (void)name;
  return UtcZone();
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
  if (IsDatabaseName(name)) {
    if (std::optional<Zone> zone = DatabaseZone(std::string(name), std::string(name))) return *zone;
  }
#else
  if (IsDatabaseName(name) && !ParsePosixRule(name)) {
    throw InputError(
        "this build has no time zone database; give the offset with --utc-offset or --zone, or "
        "a POSIX TZ rule such as CET-1CEST,M3.5.0,M10.5.0/3");
  }
#endif
  if (std::optional<Zone> zone = RuleZone(name)) return *zone;
  throw InputError(NoSuchZone());
}

Zone ZoneOfTz(std::string_view tz) {
  if (!tz.empty() && tz[0] == ':') tz.remove_prefix(1);
  if (tz.empty()) return UtcZone();
#ifdef ORBEL_HAVE_CCTZ
  if (tz[0] == '/') {
    if (std::optional<Zone> zone = DatabaseZone(std::string(tz), std::string(tz))) return *zone;
    throw InputError("no time zone file there");
  }
#endif
  return NamedZone(tz);
}

std::string FormatOffset(int offset) {
  const int magnitude = offset < 0 ? -offset : offset;
  const char sign = offset < 0 ? '-' : '+';
  if (magnitude % 60 == 0)
    return fmt::format("{}{:02}:{:02}", sign, magnitude / 3600, magnitude / 60 % 60);
  return fmt::format("{}{:02}:{:02}:{:02}", sign, magnitude / 3600, magnitude / 60 % 60,
                     magnitude % 60);
}

double EngineZone(int offset) {
  return -offset / 3600.0;
}

LocalTime LocalTimeAt(const Zone& zone, Instant instant) {
  const std::optional<ZoneState> state = zone.at(instant);
  if (!state)
    throw InputError("the time zone (" + Printable(zone.name, 40) +
                     ") cannot tell its UTC offset now");
  const int64_t local = instant + state->offset;
  const int64_t day = FloorDiv(local, 86400);
  const int seconds = static_cast<int>(local - day * 86400);
  return LocalTime{DateOfDayNumber(day), seconds / 3600, seconds / 60 % 60,
                   seconds % 60,         state->offset,  state->abbreviation};
}

Date LocalDate(const Zone& zone, Instant instant) {
  return LocalTimeAt(zone, instant).date;
}

bool ClockRepeats(const Zone& zone, Instant instant) {
  const int offset = LocalTimeAt(zone, instant).offset;
  for (const Instant beside : {instant - 7200, instant + 7200}) {
    const int other = LocalTimeAt(zone, beside).offset;
    if (other != offset && LocalTimeAt(zone, instant + offset - other).offset == other) return true;
  }
  return false;
}

Instant RoundToMinute(Instant instant) {
  return FloorDiv(instant + 30, 60) * 60;
}

}  // namespace orbel
