// Parsing and formatting of the tool's date, place and zone arguments.
//
// Every parser takes the argument text as given and either returns the value or
// throws InputError whose message says what is wrong (without repeating the
// text; the caller names the option and the value).
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace orbel {

// An argument that cannot be used.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A civil date: Julian calendar up to 4 October 1582, Gregorian from 15 October
// 1582 (the engine's calendar).
struct Date {
  int year;
  int month;  // 1-12
  int day;    // 1-31
};
inline bool operator==(const Date& a, const Date& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

// The default place: 48° 44' 36'' north, 9° 18' 27'' east.
constexpr double kDefaultLatitude = 48 + 44.0 / 60 + 36.0 / 3600;
constexpr double kDefaultLongitude = 9 + 18.0 / 60 + 27.0 / 3600;

// Years accepted by the date and year parsers.
constexpr int kMinYear = 1;
constexpr int kMaxYear = 9999;

// Engine zones accepted: hours that, added to the local clock, give UTC.
// UTC+14 is zone -14, UTC-12 is zone +12.
constexpr int kMinZone = -14;
constexpr int kMaxZone = 12;

// Leap years: every fourth year through 1582 (Julian), the Gregorian rule after.
bool IsLeapYear(int year);
// Days of a month, 1-12, of a year (ignores the ten days dropped in October 1582).
int DaysInMonth(int year, int month);
// Whether the date exists: year in range, month 1-12, day within the month and
// not one of 5 to 14 October 1582, which the calendar reform skipped.
bool IsValidDate(const Date& date);

// "YYYY-MM-DD" (four-digit year, two-digit month and day) naming a date that
// exists.
Date ParseDate(std::string_view text);
// A year from kMinYear to kMaxYear in decimal digits.
int ParseYear(std::string_view text);

// Degrees north (positive) or south (negative) within -90 to 90. Accepted forms:
// decimal degrees with an optional sign ("48.7433", "-33.8667"), and degrees,
// minutes and seconds separated by ':' or written with °, ' and " ("48:44:36",
// "48:44", "48°44'36\""), each optionally followed by a hemisphere letter N or S
// instead of a sign ("48:44:36N", "33:52:0S", "48N"). Only the last part may
// have a fraction; minutes and seconds must be below 60.
double ParseLatitude(std::string_view text);
// Degrees east (positive) or west (negative) within -180 to 180, in the same
// forms with the letters E and W ("9:18:27E", "122:25:10W").
double ParseLongitude(std::string_view text);
// A whole number of hours from kMinZone to kMaxZone with an optional sign.
int ParseZone(std::string_view text);

// "YYYY-MM-DD".
std::string FormatDate(const Date& date);
// Degrees, minutes and seconds rounded to the whole second: 48°44'36"N.
std::string FormatLatitude(double latitude);
std::string FormatLongitude(double longitude);
// The clock the zone stands for: zone -1 is "UTC+1", 0 is "UTC", 5 is "UTC-5".
std::string FormatUtcOffset(int zone);

}  // namespace orbel
