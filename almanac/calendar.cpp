#include "calendar.h"

#include <fmt/format.h>

namespace orbel {

namespace {

constexpr int64_t kFirstGregorianDay = 2299161;  // Julian day number of 1582-10-15
constexpr int64_t kJulianDayOf1970 = 2440588;

// The date of a Julian day number in the Gregorian or the Julian calendar.
Date FromJulianDayNumber(int64_t jdn, bool gregorian) {
  int64_t b = 0, c = jdn + 32082;
  if (gregorian) {
    const int64_t a = jdn + 32044;
    b = (4 * a + 3) / 146097;
    c = a - 146097 * b / 4;
  }
  const int64_t d = (4 * c + 3) / 1461;
  const int64_t e = c - 1461 * d / 4;
  const int64_t m = (5 * e + 2) / 153;
  return Date{static_cast<int>(100 * b + d - 4800 + m / 10),
              static_cast<int>(m + 3 - 12 * (m / 10)), static_cast<int>(e - (153 * m + 2) / 5 + 1)};
}

}  // namespace

bool IsLeapYear(int year) {
  if (year <= 1582) return year % 4 == 0;
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

bool IsValidDate(const Date& date) {
  if (date.year < kMinYear || date.year > kMaxYear) return false;
  if (date.month < 1 || date.month > 12) return false;
  if (date.day < 1 || date.day > DaysInMonth(date.year, date.month)) return false;
  return !(date.year == 1582 && date.month == 10 && date.day >= 5 && date.day <= 14);
}

int64_t DayNumber(const Date& date) {
  const int64_t a = (14 - date.month) / 12;
  const int64_t y = date.year + 4800 - a;
  const int64_t m = date.month + 12 * a - 3;
  const int64_t common = date.day + (153 * m + 2) / 5 + 365 * y + y / 4;
  const bool julian =
      date.year < 1582 ||
      (date.year == 1582 && (date.month < 10 || (date.month == 10 && date.day < 15)));
  const int64_t jdn = julian ? common - 32083 : common - y / 100 + y / 400 - 32045;
  return jdn - kJulianDayOf1970;
}

Date DateOfDayNumber(int64_t days) {
  const int64_t jdn = days + kJulianDayOf1970;
  return FromJulianDayNumber(jdn, jdn >= kFirstGregorianDay);
}

Date EngineDate(const Date& date) {
  if (date.year != 1582 || date.month < 10 || (date.month == 10 && date.day < 15)) return date;
  return FromJulianDayNumber(DayNumber(date) + kJulianDayOf1970, false);
}

std::vector<Date> DatesBetween(const Date& first, const Date& last) {
  std::vector<Date> dates;
  for (int64_t n = DayNumber(first); n <= DayNumber(last); ++n) dates.push_back(DateOfDayNumber(n));
  return dates;
}

std::vector<Date> DatesOfYear(int year) {
  std::vector<Date> dates;
  dates.reserve(366);
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= DaysInMonth(year, month); ++day) {
      const Date date{year, month, day};
      if (IsValidDate(date)) dates.push_back(date);
    }
  }
  return dates;
}

std::string FormatDate(const Date& date) {
  return fmt::format("{:04}-{:02}-{:02}", date.year, date.month, date.day);
}

}  // namespace orbel
