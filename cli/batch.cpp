#include "batch.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

#include "day_scan.h"
#include "printable.h"
#include "moon_age.h"
#include "moon_events.h"
#include "sun_events.h"

namespace orbel {

namespace {

constexpr int kFieldCount = 6;
const char* const kFieldNames[kFieldCount] = {"DAY", "MONTH", "YEAR", "LAT", "LON", "ZONE"};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string FieldError(int index, std::string_view field, const std::string& reason) {
  return std::string(kFieldNames[index]) + " " + Quoted(field) + ": " + reason;
}

// Skips one leading '+' so that "+5" reads like "5"; "+-5" stays invalid.
std::string_view WithoutPlus(std::string_view field) {
  if (field.size() >= 2 && field[0] == '+' && field[1] != '-' && field[1] != '+') {
    return field.substr(1);
  }
  return field;
}

// Reads an integer field within [low, high]; on failure sets error.
bool ReadInteger(int index, std::string_view field, long long low, long long high, long long& value,
                 std::string& error) {
  const std::string_view digits = WithoutPlus(field);
  const char* last = digits.data() + digits.size();
  const auto result = std::from_chars(digits.data(), last, value);
  if (result.ptr == digits.data()) {
    error = FieldError(index, field, "not a number");
    return false;
  }
  if (result.ptr != last) {
    error = FieldError(
        index, field,
        "trailing characters " + Quoted(std::string_view(result.ptr, last - result.ptr)));
    return false;
  }
  if (result.ec == std::errc::result_out_of_range || value < low || value > high) {
    error = FieldError(index, field,
                       "out of range " + std::to_string(low) + ".." + std::to_string(high));
    return false;
  }
  return true;
}

// Whether a decimal number that from_chars found outside the double range is
// too small (it underflows to zero) rather than too large. The decimal exponent
// of its first significant digit decides.
bool Underflows(std::string_view number) {
  size_t i = 0;
  if (i < number.size() && number[i] == '-') ++i;
  long long integerDigits = 0;  // significant digits before the point
  long long leadingZeros = 0;   // zeros after the point before the first significant digit
  bool significant = false;
  for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
    if (number[i] != '0') significant = true;
    if (significant) ++integerDigits;
  }
  if (i < number.size() && number[i] == '.') {
    for (++i; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
      if (!significant && number[i] == '0') ++leadingZeros;
      if (number[i] != '0') significant = true;
    }
  }
  long long exponent = 0;
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    bool negative = false;
    if (i < number.size() && (number[i] == '-' || number[i] == '+')) negative = number[i++] == '-';
    for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
      if (exponent < 1000000000) exponent = exponent * 10 + (number[i] - '0');
    }
    if (negative) exponent = -exponent;
  }
  const long long magnitude = (integerDigits > 0 ? integerDigits : -leadingZeros) + exponent;
  return magnitude <= 0;
}

// Reads a finite decimal field (no hexadecimal, no inf or nan).
bool ReadDouble(int index, std::string_view field, double& value, std::string& error) {
  const std::string_view number = WithoutPlus(field);
  const char* last = number.data() + number.size();
  const auto result = std::from_chars(number.data(), last, value, std::chars_format::general);
  if (result.ptr == number.data()) {
    error = FieldError(index, field, "not a number");
    return false;
  }
  if (result.ptr != last) {
    error = FieldError(
        index, field,
        "trailing characters " + Quoted(std::string_view(result.ptr, last - result.ptr)));
    return false;
  }
  if (result.ec == std::errc::result_out_of_range) {
    if (!Underflows(number)) {
      error = FieldError(index, field, "beyond the range of a double");
      return false;
    }
    value = number[0] == '-' ? -0.0 : 0.0;
  }
  if (!std::isfinite(value)) {
    error = FieldError(index, field, "not a finite number");
    return false;
  }
  return true;
}

void AppendInt(std::string& out, long long value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// %.17g, independent of the locale.
void AppendAzimuth(std::string& out, double value) {
  char buffer[40];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
  out.append(buffer, result.ptr);
}

}  // namespace

ParsedLine ParseBatchLine(std::string_view line) {
  ParsedLine parsed{LineKind::kQuery, DayQuery{}, std::string()};

  std::string_view fields[kFieldCount];
  int count = 0;
  size_t pos = 0;
  while (true) {
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos == line.size()) break;
    if (count == 0 && line[pos] == '#') {
      parsed.kind = LineKind::kSkip;
      return parsed;
    }
    const size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos])) ++pos;
    if (count < kFieldCount) fields[count] = line.substr(start, pos - start);
    ++count;
  }
  if (count == 0) {
    parsed.kind = LineKind::kSkip;
    return parsed;
  }

  parsed.kind = LineKind::kError;
  if (count != kFieldCount) {
    parsed.error =
        "expected 6 fields (DAY MONTH YEAR LAT LON ZONE), found " + std::to_string(count);
    return parsed;
  }

  long long day = 0, month = 0, year = 0;
  double latitude = 0, longitude = 0, zone = 0;
  std::string& error = parsed.error;
  if (!ReadInteger(0, fields[0], 0, UINT8_MAX, day, error) ||
      !ReadInteger(1, fields[1], 0, UINT8_MAX, month, error) ||
      !ReadInteger(2, fields[2], 0, UINT32_MAX, year, error) ||
      !ReadDouble(3, fields[3], latitude, error) || !ReadDouble(4, fields[4], longitude, error) ||
      !ReadDouble(5, fields[5], zone, error)) {
    return parsed;
  }
  if (zone < INT8_MIN || zone > INT8_MAX) {
    error = FieldError(5, fields[5], "out of range -128..127");
    return parsed;
  }

  parsed.kind = LineKind::kQuery;
  // + 0.0 turns a zone of -0 into 0, so that "-0" means what "0" means.
  parsed.query = DayQuery{static_cast<uint32_t>(day),
                          static_cast<uint32_t>(month),
                          static_cast<uint32_t>(year),
                          latitude,
                          longitude,
                          zone + 0.0};
  return parsed;
}

namespace {

// Hour, minute and azimuth (or the status in their place) and the text of one
// event, each followed by a tab.
void AppendEvent(std::string& out, const EventSlot& slot, const char* (*statusMessage)(int)) {
  AppendInt(out, HourOrStatus(slot));
  out += '\t';
  AppendInt(out, MinuteOrStatus(slot));
  out += '\t';
  AppendAzimuth(out, AzimuthOrStatus(slot));
  out += '\t';
  TextBuffer text;
  FormatEventText(slot, statusMessage, text);
  out += text;
  out += '\t';
}

}  // namespace

void AppendBatchResult(const DayQuery& query, std::string& out) {
  const BodyDay sun = SunDay(query);
  const BodyDay moon = MoonDay(query);
  AppendEvent(out, sun.rise, SunStatusMessage);
  AppendEvent(out, sun.set, SunStatusMessage);
  AppendEvent(out, moon.rise, MoonStatusMessage);
  AppendEvent(out, moon.set, MoonStatusMessage);
  AppendInt(
      out, MoonAge(static_cast<uint8_t>(query.day), static_cast<uint8_t>(query.month), query.year));
  out += '\n';
}

}  // namespace orbel
