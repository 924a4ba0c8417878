#include "place.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

namespace orbel {

namespace {

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads the unsigned decimal digits text[pos, pos + count) into value; false if
// any of them is not a digit.
bool ReadDigits(std::string_view text, size_t pos, size_t count, int& value) {
  value = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (!IsDigit(text[i])) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

// A cursor over the text of an angle.
class AngleReader {
 public:
  explicit AngleReader(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  std::string_view Rest() const { return text_.substr(pos_); }

  // Consumes token if the text continues with it.
  bool Eat(std::string_view token) {
    if (text_.substr(pos_, token.size()) != token) return false;
    pos_ += token.size();
    return true;
  }

  // Reads digits with at most one decimal point (at least one digit); sets
  // hasFraction when a point was read.
  bool ReadNumber(double& value, bool& hasFraction) {
    const size_t start = pos_;
    size_t digits = 0;
    hasFraction = false;
    while (!AtEnd()) {
      const char c = text_[pos_];
      if (IsDigit(c)) {
        ++digits;
      } else if (c == '.' && !hasFraction) {
        hasFraction = true;
      } else {
        break;
      }
      ++pos_;
    }
    if (digits == 0) return false;
    const auto result = std::from_chars(text_.data() + start, text_.data() + pos_, value);
    return result.ec == std::errc() && result.ptr == text_.data() + pos_;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// Parses the forms described at ParseLatitude; positive and negative are the
// hemisphere letters, limit the largest magnitude allowed.
double ParseAngle(std::string_view text, char positive, char negative, double limit,
                  const char* what) {
  const std::string forms =
      std::string("expected degrees such as ") +
      (positive == 'N' ? "48.7433, -33.8667 or 48:44:36N" : "9.3075, -122.4194 or 122:25:10W");
  if (text.empty()) throw InputError("empty value; " + forms);

  AngleReader reader(text);
  int sign = 0;
  if (reader.Eat("-")) {
    sign = -1;
  } else if (reader.Eat("+")) {
    sign = 1;
  }

  double parts[3] = {0, 0, 0};
  bool fraction[3] = {false, false, false};
  int count = 0;
  if (!reader.ReadNumber(parts[0], fraction[0])) throw InputError(forms);
  count = 1;
  const bool degreeColon = reader.Eat(":");
  if (degreeColon || (reader.Eat("\xC2\xB0") && (IsDigit(reader.Peek()) || reader.Peek() == '.'))) {
    // After a colon the minutes must follow; after a degree sign they may.
    if (!reader.ReadNumber(parts[1], fraction[1])) throw InputError("missing minutes; " + forms);
    count = 2;
    const bool colon = reader.Eat(":");
    if (colon || reader.Eat("'")) {
      if (IsDigit(reader.Peek()) || reader.Peek() == '.') {
        if (!reader.ReadNumber(parts[2], fraction[2])) throw InputError(forms);
        count = 3;
        if (!reader.Eat("\"")) reader.Eat("''");
      } else if (colon) {
        throw InputError("missing seconds; " + forms);
      }
    }
  }

  int hemisphere = 0;
  const char letter = reader.Peek();
  if (reader.Rest().size() == 1 && std::isalpha(static_cast<unsigned char>(letter))) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    if (upper == positive) {
      hemisphere = 1;
    } else if (upper == negative) {
      hemisphere = -1;
    } else {
      throw InputError(std::string("a ") + what + " takes the letter " + positive + " or " +
                       negative + ", not " + letter);
    }
    reader.Eat(std::string_view(&letter, 1));
  }
  if (!reader.AtEnd()) {
    throw InputError("unexpected \"" + std::string(reader.Rest()) + "\"; " + forms);
  }
  if (sign != 0 && hemisphere != 0) {
    throw InputError("give either a sign or a hemisphere letter, not both");
  }
  for (int i = 0; i + 1 < count; ++i) {
    if (fraction[i])
      throw InputError("only the last of degrees, minutes, seconds may have a fraction");
  }
  if (count >= 2 && parts[1] >= 60) throw InputError("minutes must be below 60");
  if (count >= 3 && parts[2] >= 60) throw InputError("seconds must be below 60");

  const double magnitude = parts[0] + parts[1] / 60 + parts[2] / 3600;
  if (!(magnitude <= limit)) {
    const int whole = static_cast<int>(limit);
    throw InputError(std::string("the ") + what + " must be between -" + std::to_string(whole) +
                     " and " + std::to_string(whole) + " degrees");
  }
  if (magnitude == 0) return 0.0;  // no negative zero
  return (sign < 0 || hemisphere < 0) ? -magnitude : magnitude;
}

// Degrees, minutes and seconds of an angle rounded to the whole second, with
// the hemisphere letter.
std::string FormatDms(double value, char positive, char negative) {
  const long long totalSeconds = std::llround(std::fabs(value) * 3600);
  const char letter = (value < 0 && totalSeconds != 0) ? negative : positive;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%lld\xC2\xB0%02lld'%02lld\"%c", totalSeconds / 3600,
                totalSeconds / 60 % 60, totalSeconds % 60, letter);
  return buffer;
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

Date ParseDate(std::string_view text) {
  Date date{};
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !ReadDigits(text, 0, 4, date.year) ||
      !ReadDigits(text, 5, 2, date.month) || !ReadDigits(text, 8, 2, date.day)) {
    throw InputError("expected a date as YYYY-MM-DD");
  }
  if (date.year < kMinYear) {
    throw InputError("the year must be " + std::to_string(kMinYear) + " to " +
                     std::to_string(kMaxYear));
  }
  if (date.month < 1 || date.month > 12) {
    throw InputError("month " + std::to_string(date.month) + " does not exist");
  }
  if (date.day < 1) throw InputError("day 0 does not exist");
  const int days = DaysInMonth(date.year, date.month);
  if (date.day > days) {
    throw InputError(std::string(kMonthNames[date.month - 1]) + " " + std::to_string(date.year) +
                     " has " + std::to_string(days) + " days");
  }
  if (!IsValidDate(date)) {
    throw InputError("5 to 14 October 1582 were skipped by the calendar reform");
  }
  return date;
}

int ParseYear(std::string_view text) {
  const std::string range = std::to_string(kMinYear) + " to " + std::to_string(kMaxYear);
  int year = 0;
  if (text.empty() || text.size() > 4 || !ReadDigits(text, 0, text.size(), year)) {
    throw InputError("expected a year from " + range);
  }
  if (year < kMinYear) throw InputError("the year must be " + range);
  return year;
}

double ParseLatitude(std::string_view text) {
  return ParseAngle(text, 'N', 'S', 90, "latitude");
}

double ParseLongitude(std::string_view text) {
  return ParseAngle(text, 'E', 'W', 180, "longitude");
}

std::string Printable(std::string_view text, size_t maxCharacters) {
  std::string out;
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++characters) {
    if (characters == maxCharacters) return out + "...";
    const unsigned char c = static_cast<unsigned char>(text[i]);
    // The length of a well-formed UTF-8 sequence starting here, or 0.
    size_t length = c < 0x80                 ? 1
                    : c >= 0xC2 && c <= 0xDF ? 2
                    : c >= 0xE0 && c <= 0xEF ? 3
                    : c >= 0xF0 && c <= 0xF4 ? 4
                                             : 0;
    for (size_t k = 1; k < length; ++k) {
      if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        length = 0;
      }
    }
    // C1 controls (U+0080 to U+009F) act on terminals like escape sequences.
    const bool c1 = length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0;
    if (length == 1 && c >= 0x20 && c != 0x7F) {
      out += static_cast<char>(c);
    } else if (length > 1 && !c1) {
      out.append(text.substr(i, length));
    } else if (c == '\n' || c == '\t' || c == '\r') {
      out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : "\\r";
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c1 ? 0x80 + (text[i + 1] & 0x1F) : c);
      out += escaped;
      if (c1) ++i;
    }
    i += length > 1 && !c1 ? length : 1;
  }
  return out;
}

std::string Quoted(std::string_view text) {
  return "\"" + Printable(text, 40) + "\"";
}

std::string FormatDate(const Date& date) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
  return buffer;
}

std::string FormatLatitude(double latitude) {
  return FormatDms(latitude, 'N', 'S');
}

std::string FormatLongitude(double longitude) {
  return FormatDms(longitude, 'E', 'W');
}

}  // namespace orbel
