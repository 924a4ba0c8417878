// Pieces the text, CSV and JSON renderers share: angles in degrees, minutes
// and seconds, aligned columns, numbers that read back exactly.
#pragma once

#include <cstddef>
#include <string>

#include "day.h"
#include "time/zone.h"

namespace orbel {

// Degrees, minutes and seconds rounded to the whole second: 48°44'36"N.
std::string FormatLatitude(double latitude);
std::string FormatLongitude(double longitude);

// Terminal columns of UTF-8 text (one per code point; the texts are ASCII plus °).
size_t DisplayWidth(const std::string& text);
// The text padded with blanks to `width` columns.
std::string PadRight(const std::string& text, size_t width);
// An azimuth in degrees with one decimal, right-aligned in `width` columns, and
// the degree sign.
std::string Degrees(double azimuth, int width);
// The shortest text that reads back as the same double.
std::string ShortestDouble(double value);

// An instant rounded to the minute on the zone's clock: "2026-01-03 11:03".
std::string LocalMinuteText(const Zone& zone, Instant instant);
// An instant in RFC 3339, "2026-01-03T11:03:00+01:00", read with `offset`;
// in UTC ("2026-01-03T10:03:00Z") when the offset has seconds (local mean
// time of old dates), which RFC 3339 cannot write.
std::string Rfc3339(Instant instant, int offset);
// The same with the zone's offset at the instant.
std::string Rfc3339(const Zone& zone, Instant instant);

}  // namespace orbel
