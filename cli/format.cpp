#include "format.h"

#include <charconv>
#include <cmath>

#include <fmt/format.h>

namespace orbel {

namespace {

// Degrees, minutes and seconds of an angle rounded to the whole second, with
// the hemisphere letter.
std::string FormatDms(double value, char positive, char negative) {
  const long long totalSeconds = std::llround(std::fabs(value) * 3600);
  const char letter = (value < 0 && totalSeconds != 0) ? negative : positive;
  return fmt::format("{}\u00b0{:02}'{:02}\"{}", totalSeconds / 3600, totalSeconds / 60 % 60,
                     totalSeconds % 60, letter);
}

}  // namespace

std::string FormatLatitude(double latitude) {
  return FormatDms(latitude, 'N', 'S');
}

std::string FormatLongitude(double longitude) {
  return FormatDms(longitude, 'E', 'W');
}

size_t DisplayWidth(const std::string& text) {
  size_t width = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
  }
  return width;
}

std::string PadRight(const std::string& text, size_t width) {
  const size_t used = DisplayWidth(text);
  return used >= width ? text : text + std::string(width - used, ' ');
}

std::string Degrees(double azimuth, int width) {
  return fmt::format("{:>{}.1f}\u00b0", azimuth, width);
}

std::string ShortestDouble(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string LocalMinuteText(const Zone& zone, Instant instant) {
  const LocalTime t = LocalTimeAt(zone, RoundToMinute(instant));
  return fmt::format("{} {:02}:{:02}", FormatDate(t.date), t.hour, t.minute);
}

std::string Rfc3339(Instant instant, int offset) {
  const bool utc = offset % 60 != 0;
  const LocalTime t = LocalTimeAt(utc ? UtcZone() : FixedZone(offset), instant);
  return fmt::format("{}T{:02}:{:02}:{:02}{}", FormatDate(t.date), t.hour, t.minute, t.second,
                     utc ? "Z" : FormatOffset(offset));
}

std::string Rfc3339(const Zone& zone, Instant instant) {
  return Rfc3339(instant, LocalTimeAt(zone, instant).offset);
}

}  // namespace orbel
