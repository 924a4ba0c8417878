#include "posix_rule.h"

#include <array>
#include <cctype>

namespace orbel {

namespace {

// A cursor over the text of a rule.
struct Reader {
  std::string_view text;
  size_t pos = 0;

  bool AtEnd() const { return pos == text.size(); }
  char Peek() const { return AtEnd() ? '\0' : text[pos]; }
  bool Eat(char c) {
    if (Peek() != c) return false;
    ++pos;
    return true;
  }
  // Up to `maxDigits` decimal digits (at least one) into value.
  bool Number(int maxDigits, int& value) {
    int digits = 0;
    value = 0;
    while (digits < maxDigits && std::isdigit(static_cast<unsigned char>(Peek()))) {
      value = value * 10 + (text[pos++] - '0');
      ++digits;
    }
    return digits > 0;
  }
};

// A zone name: three or more letters, or three or more letters, digits and
// signs between < and >.
bool ReadName(Reader& r, std::string& name) {
  const size_t start = r.pos;
  if (r.Eat('<')) {
    while (std::isalnum(static_cast<unsigned char>(r.Peek())) || r.Peek() == '+' ||
           r.Peek() == '-') {
      ++r.pos;
    }
    name = std::string(r.text.substr(start + 1, r.pos - start - 1));
    return r.Eat('>') && name.size() >= 3;
  }
  while (std::isalpha(static_cast<unsigned char>(r.Peek()))) ++r.pos;
  name = std::string(r.text.substr(start, r.pos - start));
  return name.size() >= 3;
}

// [+-]hh[:mm[:ss]] with hours up to maxHours, into seconds.
bool ReadTime(Reader& r, int maxHours, int& seconds) {
  int sign = 1;
  if (r.Eat('-')) {
    sign = -1;
  } else {
    r.Eat('+');
  }
  int hours = 0, minutes = 0, secs = 0;
  if (!r.Number(3, hours) || hours > maxHours) return false;
  if (r.Eat(':') && (!r.Number(2, minutes) || minutes > 59 ||
                     (r.Eat(':') && (!r.Number(2, secs) || secs > 59)))) {
    return false;
  }
  seconds = sign * (hours * 3600 + minutes * 60 + secs);
  return true;
}

// ",date[/time]" of a change.
bool ReadChange(Reader& r, PosixRule::Change& change) {
  if (!r.Eat(',')) return false;
  change = {PosixRule::Change::kZeroBased, 0, 0, 0, 2 * 3600};
  if (r.Eat('J')) {
    change.kind = PosixRule::Change::kJulian;
    if (!r.Number(3, change.day) || change.day < 1 || change.day > 365) return false;
  } else if (r.Eat('M')) {
    change.kind = PosixRule::Change::kMonthWeekDay;
    if (!r.Number(2, change.month) || change.month < 1 || change.month > 12 || !r.Eat('.') ||
        !r.Number(1, change.week) || change.week < 1 || change.week > 5 || !r.Eat('.') ||
        !r.Number(1, change.day) || change.day > 6) {
      return false;
    }
  } else if (!r.Number(3, change.day) || change.day > 365) {
    return false;
  }
  return !r.Eat('/') || ReadTime(r, 167, change.time);
}

bool IsGregorianLeap(int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int64_t FloorDiv(int64_t a, int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, the
// calendar of every year of a rule.
int64_t GregorianDays(int64_t year, int month, int day) {
  year -= month <= 2;
  const int64_t era = FloorDiv(year, 400);
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// The day (days from 1970) of a change in a year.
int64_t DayOfChange(const PosixRule::Change& change, int64_t year) {
  const int64_t january1 = GregorianDays(year, 1, 1);
  switch (change.kind) {
    case PosixRule::Change::kJulian:
      return january1 + change.day - 1 + (IsGregorianLeap(year) && change.day >= 60 ? 1 : 0);
    case PosixRule::Change::kZeroBased:
      return january1 + change.day;
    default: {
      static const std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
      const int monthDays = kDays[change.month - 1] + (change.month == 2 && IsGregorianLeap(year));
      const int64_t first = GregorianDays(year, change.month, 1);
      // 1 January 1970 was a Thursday (4).
      const int firstWeekday = static_cast<int>(first + 4 - FloorDiv(first + 4, 7) * 7);
      int day = 1 + (change.day - firstWeekday + 7) % 7 + 7 * (change.week - 1);
      while (day > monthDays) day -= 7;
      return first + day - 1;
    }
  }
}

}  // namespace

std::optional<PosixRule> ParsePosixRule(std::string_view text) {
  Reader r{text};
  PosixRule rule{};
  int westOffset = 0;
  if (!ReadName(r, rule.standardName) || !ReadTime(r, 24, westOffset)) return std::nullopt;
  rule.standardOffset = -westOffset;
  rule.daylightOffset = rule.standardOffset;
  if (r.AtEnd()) return rule;
  if (!ReadName(r, rule.daylightName)) return std::nullopt;
  rule.daylightOffset = rule.standardOffset + 3600;
  if (!r.AtEnd() && r.Peek() != ',') {
    if (!ReadTime(r, 24, westOffset)) return std::nullopt;
    rule.daylightOffset = -westOffset;
  }
  if (r.AtEnd()) {
    Reader usRule{",M3.2.0,M11.1.0"};
    ReadChange(usRule, rule.start);
    ReadChange(usRule, rule.end);
    return rule;
  }
  if (!ReadChange(r, rule.start) || !ReadChange(r, rule.end) || !r.AtEnd()) return std::nullopt;
  return rule;
}

ZoneState PosixRuleAt(const PosixRule& rule, Instant instant) {
  const ZoneState standard{rule.standardOffset, rule.standardName};
  if (rule.daylightName.empty()) return standard;
  const ZoneState daylight{rule.daylightOffset, rule.daylightName};
  // The changes of the years around the instant, as instants: daylight time
  // starts on the standard clock and ends on the daylight clock. The clock
  // in force is the one the latest change before the instant set.
  const int64_t year = [&] {
    const int64_t days = FloorDiv(instant + rule.standardOffset, 86400);
    int64_t y = FloorDiv(days * 400, 146097) + 1970;
    while (GregorianDays(y + 1, 1, 1) <= days) ++y;
    while (GregorianDays(y, 1, 1) > days) --y;
    return y;
  }();
  const ZoneState* state = nullptr;
  Instant latest = 0;
  for (int64_t y = year - 1; y <= year + 1; ++y) {
    const Instant start =
        DayOfChange(rule.start, y) * 86400 + rule.start.time - rule.standardOffset;
    const Instant end = DayOfChange(rule.end, y) * 86400 + rule.end.time - rule.daylightOffset;
    for (const auto& [at, after] : {std::pair{start, &daylight}, std::pair{end, &standard}}) {
      if (at <= instant && (state == nullptr || at >= latest)) {
        latest = at;
        state = after;
      }
    }
  }
  return state != nullptr ? *state : standard;
}

}  // namespace orbel
