// Civil dates in the calendar in use: Julian up to 4 October 1582, Gregorian
// from 15 October 1582 (the days between were skipped by the reform).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orbel {

struct Date {
  int year;
  int month;  // 1-12
  int day;    // 1-31
};
inline bool operator==(const Date& a, const Date& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day;
}

// The years the tool answers for.
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

// Every date of a year in order (355 dates in 1582, which lost 5-14 October).
std::vector<Date> DatesOfYear(int year);
// Every date from `first` to `last`, both included, in order; none when
// `last` comes first.
std::vector<Date> DatesBetween(const Date& first, const Date& last);

// "YYYY-MM-DD".
std::string FormatDate(const Date& date);

}  // namespace orbel
