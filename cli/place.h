// Parsing and formatting of the tool's date, place and zone arguments.
//
// Every parser takes the argument text as given and either returns the value or
// throws InputError whose message says what is wrong (without repeating the
// text; the caller names the option and the value).
#pragma once

#include <cstdint>
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

// Leap years: every fourth year through 1582 (Julian), the Gregorian rule after.
bool IsLeapYear(int year);
// Days of a month, 1-12, of a year (ignores the ten days dropped in October 1582).
int DaysInMonth(int year, int month);
// Whether the date exists: year in range, month 1-12, day within the month and
// not one of 5 to 14 October 1582, which the calendar reform skipped.
bool IsValidDate(const Date& date);

// Days from 1970-01-01 to the date, in the calendar of the date (Julian up to
// 4 October 1582, Gregorian from 15 October 1582), so that 4 and 15 October
// 1582 are one day apart.
int64_t DayNumber(const Date& date);
// The date of a day number in the calendar in use on that day.
Date DateOfDayNumber(int64_t days);
// The date to hand the event queries, which read every date before 1583 in
// the Julian calendar: for 15 October to 31 December 1582 the Julian date of
// the same day (ten days earlier by number), else the date itself.
Date EngineDate(const Date& date);

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

// Text as it may appear in a message: control characters and bytes that are
// not UTF-8 escaped (\n, \x1b), and cut to `maxCharacters` with "..." after.
std::string Printable(std::string_view text, size_t maxCharacters);
// A value quoted for a message: "value", at most 40 characters of it.
std::string Quoted(std::string_view text);

// "YYYY-MM-DD".
std::string FormatDate(const Date& date);
// Degrees, minutes and seconds rounded to the whole second: 48°44'36"N.
std::string FormatLatitude(double latitude);
std::string FormatLongitude(double longitude);

}  // namespace orbel
