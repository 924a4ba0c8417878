#include "values.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>

#include "printable.h"

namespace orbel {

namespace {

const char* const kMonthNames[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr int kMinOffset = -12 * 3600;
constexpr int kMaxOffset = 14 * 3600;

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
    throw InputError("unexpected " + Quoted(reader.Rest()) + "; " + forms);
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

}  // namespace

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

int ParseClockTime(std::string_view text) {
  const auto digit = [&](size_t i) { return IsDigit(text[i]); };
  if (text.size() != 5 || text[2] != ':' || !digit(0) || !digit(1) || !digit(3) || !digit(4)) {
    throw InputError("expected a clock time as HH:MM");
  }
  const int hours = (text[0] - '0') * 10 + (text[1] - '0');
  const int minutes = (text[3] - '0') * 10 + (text[4] - '0');
  if (hours > 23 || minutes > 59) throw InputError("not a time of the day");
  return hours * 60 + minutes;
}

BodyAltitude ParseAltitude(std::string_view text) {
  BodyAltitude altitude{Body::kSun, 0};
  for (const auto& [prefix, body] : {std::pair{"sun:", Body::kSun}, {"moon:", Body::kMoon}}) {
    if (text.substr(0, std::string_view(prefix).size()) == prefix) {
      altitude.body = body;
      text.remove_prefix(std::string_view(prefix).size());
    }
  }
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, altitude.degrees);
  if (text.empty() || text[0] == '+' || ec != std::errc() || ptr != end ||
      !(std::fabs(altitude.degrees) <= 90)) {
    throw InputError(
        "expected degrees from -90 to 90 for the sun (10, -3.5) or after moon: for the moon "
        "(moon:5)");
  }
  if (altitude.degrees == 0) altitude.degrees = 0;  // no negative zero
  return altitude;
}

int ParseWholeNumber(std::string_view text, int low, int high, std::string_view what) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || value < low || value > high) {
    throw InputError("not " + std::string(what));
  }
  return value;
}

}  // namespace orbel

namespace orbel {

Date ParseMonth(std::string_view text) {
  int year = 0, month = 0;
  if (text.size() != 7 || text[4] != '-' || !ReadDigits(text, 0, 4, year) ||
      !ReadDigits(text, 5, 2, month)) {
    throw InputError("expected a month as YYYY-MM");
  }
  return ParseDate(std::string(text) + "-01");
}

ClockMoment ParseMoment(std::string_view text) {
  const char* const form =
      "expected YYYY-MM-DD HH:MM, with :SS or an offset if wanted "
      "(2026-12-08 15:54, 2026-12-08T15:54:00+01:00)";
  if (text.size() < 10) throw InputError(form);
  ClockMoment moment{ParseDate(text.substr(0, 10)), 0, std::nullopt};
  text.remove_prefix(10);
  if (text.empty()) return moment;  // the date alone: its midnight
  int hour = 0, minute = 0, second = 0;
  if (text.size() < 6 || (text[0] != ' ' && text[0] != 'T' && text[0] != 't') ||
      !ReadDigits(text, 1, 2, hour) || text[3] != ':' || !ReadDigits(text, 4, 2, minute)) {
    throw InputError(form);
  }
  text.remove_prefix(6);
  if (!text.empty() && text[0] == ':') {
    if (text.size() < 3 || !ReadDigits(text, 1, 2, second)) throw InputError(form);
    text.remove_prefix(3);
    // A fraction is taken to the whole second, as the clocks are read.
    if (!text.empty() && text[0] == '.') {
      size_t digits = 1;
      while (digits < text.size() && IsDigit(text[digits])) ++digits;
      if (digits == 1) throw InputError(form);
      text.remove_prefix(digits);
    }
  }
  if (hour > 23 || minute > 59 || second > 59) {
    throw InputError("the time must be 00:00:00 to 23:59:59");
  }
  moment.seconds = hour * 3600 + minute * 60 + second;
  if (text.empty()) return moment;
  if (text == "Z" || text == "z") {
    moment.offset = 0;
    return moment;
  }
  int sign = 1, minutes = 0;
  if ((text[0] != '+' && text[0] != '-') || text.size() != 6 ||
      !ReadHoursAndMinutes(text, sign, minutes) || minutes >= 24 * 60) {
    throw InputError(form);
  }
  moment.offset = sign * minutes * 60;
  return moment;
}

int ParseStep(std::string_view text) {
  const char* const form = "expected a whole number with s, m, h or d: 30s, 10m, 1h, 1d";
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end - 1 || value < 1) throw InputError(form);
  const int unit = text.back() == 's'   ? 1
                   : text.back() == 'm' ? 60
                   : text.back() == 'h' ? 3600
                   : text.back() == 'd' ? 86400
                                        : 0;
  if (unit == 0) throw InputError(form);
  if (value > 366 * 86400 / unit) throw InputError("the step must be at most a year (366d)");
  return value * unit;
}

}  // namespace orbel
