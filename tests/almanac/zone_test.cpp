// Zones by POSIX TZ rule against the C library's reading of the same TZ, and
// what TZ and --tz accept.
#include "time/posix_rule.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "error.h"
#include "time/zone.h"

namespace {

#ifndef _WIN32  // the C library of Windows reads no POSIX rules
// The rule's clock against glibc's for the same TZ at random instants from
// 1971 to 2100 (glibc reads the years before 1971 with the changes of 1970),
// a third of them around the changes of 2024.
TEST(PosixRule, AgreesWithTheCLibrary) {
  const char* const rules[] = {
      "CET-1CEST,M3.5.0,M10.5.0/3",
      "AEST-10AEDT,M10.1.0,M4.1.0/3",
      "EST5EDT,M3.2.0,M11.1.0",
      "IST-5:30",
      "<+0330>-3:30",
      "NZST-12NZDT,M9.5.0,M4.1.0/3",
      "<-03>3<-02>,M3.5.0/-2,M10.5.0/-1",
      "WART4WARST,J1/0,J365/25",
      "ABC5DEF,M3.2.0,M11.1.0",
      "XYZ-3:15:30XWZ-4,100/1:30,300/23:59:59",
      "LMT-0:53:28",
      "EET-2EEST-3,M3.5.4/24,M10.5.5/1",
  };
  std::mt19937_64 random(20261208);
  std::uniform_int_distribution<int64_t> instants(31536000, 4102444800);
  const char* saved = std::getenv("TZ");
  for (const char* text : rules) {
    SCOPED_TRACE(text);
    const std::optional<orbel::PosixRule> rule = orbel::ParsePosixRule(text);
    ASSERT_TRUE(rule);
    setenv("TZ", text, 1);
    tzset();
    for (int i = 0; i < 3000; ++i) {
      // Every third instant within a day of 31 March or 27 October 2024.
      const int64_t t = i % 3 != 0   ? instants(random)
                        : i % 2 != 0 ? 1711843200 + static_cast<int64_t>(random() % 172800)
                                     : 1729987200 + static_cast<int64_t>(random() % 172800);
      const std::time_t tt = static_cast<std::time_t>(t);
      std::tm local{};
      ASSERT_NE(localtime_r(&tt, &local), nullptr);
      const orbel::ZoneState state = orbel::PosixRuleAt(*rule, t);
      ASSERT_EQ(state.offset, local.tm_gmtoff) << t;
      ASSERT_EQ(state.abbreviation, local.tm_zone) << t;
    }
  }
  saved != nullptr ? setenv("TZ", saved, 1) : unsetenv("TZ");
  tzset();
  // Without a rule, daylight time follows the United States' rule (glibc takes
  // the zone file "posixrules" with its own names instead).
  const orbel::PosixRule bare = *orbel::ParsePosixRule("ABC5DEF");
  for (const int64_t t : {1710054000 - 1, 1710054000, 1730613600 - 1, 1730613600}) {
    EXPECT_EQ(orbel::PosixRuleAt(bare, t).abbreviation,
              orbel::PosixRuleAt(*orbel::ParsePosixRule("ABC5DEF,M3.2.0,M11.1.0"), t).abbreviation);
  }
  EXPECT_EQ(orbel::PosixRuleAt(bare, 1710054000).offset, -4 * 3600);
}
#endif

TEST(PosixRule, RejectsWhatIsNotARule) {
  for (const char* text :
       {"", "Europe/Berln", "UTC", "U0", "UTC+", "CET-25", "CET-1CEST,M3.5.0",
        "CET-1CEST,M13.5.0,M10.5.0", "CET-1CEST,M3.6.0,M10.5.0", "CET-1CEST,M3.5.7,M10.5.0",
        "CET-1CEST,J0,J365", "CET-1CEST,366,1", "CET-1CEST,M3.5.0/168,M10.5.0", "CET-1:60", "<AB>1",
        "<ABC1", "CET-1CEST,M3.5.0,M10.5.0/3junk"}) {
    EXPECT_FALSE(orbel::ParsePosixRule(text)) << text;
  }
}

// TZ: a name, after ':' too, a file by its path, a rule; empty is UTC; a name
// that is neither is an error, as for --tz.
TEST(Zones, WhatTzAndTzOptionsName) {
  const orbel::Instant july = 1782000000;  // 2026-06-21
  const struct {
    const char* tz;
    const char* name;
    int offset;
  } cases[] = {{"Europe/Berlin", "Europe/Berlin", 7200},
               {":Europe/Berlin", "Europe/Berlin", 7200},
               {"IST-5:30", "IST-5:30", 19800},
               {"", "UTC", 0},
               {":", "UTC", 0}};
  for (const auto& c : cases) {
    if (!orbel::HaveZoneDatabase() && std::string(c.name) == "Europe/Berlin") continue;
    const orbel::Zone zone = orbel::ZoneOfTz(c.tz);
    EXPECT_EQ(zone.name, c.name) << c.tz;
    EXPECT_EQ(zone.at(july)->offset, c.offset) << c.tz;
  }
  if (orbel::HaveZoneDatabase()) {
    EXPECT_EQ(orbel::ZoneOfTz("/usr/share/zoneinfo/Asia/Kolkata").at(july)->offset, 19800);
    EXPECT_THROW(orbel::NamedZone("/usr/share/zoneinfo/Asia/Kolkata"), orbel::InputError);
  }
  for (const char* bad : {"Europe/Berln", "../../etc/passwd", "CET-1CEST,M3.5.0"}) {
    EXPECT_THROW(orbel::ZoneOfTz(bad), orbel::InputError) << bad;
    EXPECT_THROW(orbel::NamedZone(bad), orbel::InputError) << bad;
  }
}

// Every year the tool takes, 1 to 9999, through a zone of the database and a
// POSIX rule: the lookups hold whole seconds (the sanitizer build checks them
// for overflow), and Berlin's clock is its mean time before 1893.
TEST(Zones, CoverTheYearsOneTo9999) {
  const struct {
    orbel::Date date;
    int rule, berlin;  // offsets at noon
  } cases[] = {{{1, 1, 1}, 3600, 3208},
               {{1677, 9, 21}, 7200, 3208},
               {{2262, 4, 12}, 7200, 7200},
               {{9999, 12, 31}, 3600, 3600}};
  const orbel::Zone rule = orbel::NamedZone("CET-1CEST,M3.5.0,M10.5.0/3");
  for (const auto& c : cases) {
    const orbel::Instant noon = orbel::DayNumber(c.date) * 86400 + 11 * 3600;
    EXPECT_EQ(orbel::LocalTimeAt(rule, noon).offset, c.rule) << orbel::FormatDate(c.date);
    if (!orbel::HaveZoneDatabase()) continue;
    const orbel::LocalTime berlin = orbel::LocalTimeAt(orbel::NamedZone("Europe/Berlin"), noon);
    EXPECT_EQ(berlin.offset, c.berlin) << orbel::FormatDate(c.date);
    EXPECT_EQ(orbel::FormatDate(berlin.date), orbel::FormatDate(c.date));
  }
  // Summer time from April to October, through the months of 9999.
  for (int month = 1; orbel::HaveZoneDatabase() && month <= 12; ++month) {
    const orbel::Instant noon = orbel::DayNumber({9999, month, 1}) * 86400 + 11 * 3600;
    EXPECT_EQ(orbel::LocalTimeAt(orbel::NamedZone("Europe/Berlin"), noon).offset,
              month >= 4 && month <= 10 ? 7200 : 3600)
        << month;
  }
}

}  // namespace
