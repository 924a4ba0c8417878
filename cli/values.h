// The values the command line takes, from their text: dates, years, angles,
// offsets, clock times and whole numbers. Every parser returns the value or
// throws InputError whose message says what is wrong (without repeating the
// text; the option's callback names the option and the value).
#pragma once

#include <optional>
#include <string_view>

#include "calendar.h"
#include "scan.h"
#include "error.h"

namespace orbel {

// "YYYY-MM-DD" (four-digit year, two-digit month and day) naming a date that
// exists.
Date ParseDate(std::string_view text);
// "YYYY-MM": the first day of that month.
Date ParseMonth(std::string_view text);
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

// The usual form, "+05:30" or "-03:30" (optional sign, hours 0-14, optional
// ":MM"), as an offset in seconds east of UTC from -12:00 to +14:00.
int ParseUtcOffset(std::string_view text);
// The engine's form: hours that, added to the local clock, give UTC, from -14
// to +12, whole ("-1"), decimal ("-5.5", "-5.75") or with minutes ("-5:30"),
// always a whole number of minutes. Returns the offset in seconds east of UTC.
int ParseEngineZone(std::string_view text);
// A shift of the clock, "+00:30", "-01:15" or "-2" (sign optional, hours up to
// 23, optional ":MM"), in seconds.
int ParseClockShift(std::string_view text);
// "HH:MM", 00:00 to 23:59, into minutes after midnight.
int ParseClockTime(std::string_view text);

// An altitude of the sun, "10" or "-3.5" (decimal degrees from -90 to 90), or
// of the moon, "moon:5"; "sun:10" too.
struct BodyAltitude {
  Body body;
  double degrees;
};
BodyAltitude ParseAltitude(std::string_view text);

// A moment on a clock: "YYYY-MM-DD HH:MM", with ":SS" (and a fraction, taken
// to the whole second) if wanted, 'T' in place of the space, and an offset
// after it as RFC 3339 has it ("Z", "+01:00"); the date alone is its 00:00.
struct ClockMoment {
  Date date;
  int seconds;                // after midnight on the clock
  std::optional<int> offset;  // seconds east of UTC, when the text gives one
};
ClockMoment ParseMoment(std::string_view text);
// A step of time, "30s", "10m", "1h" or "1d", up to a year, in seconds.
int ParseStep(std::string_view text);

// A whole number in decimal digits from `low` to `high`; `what` says what is
// expected ("a whole number of days from 1 to 366").
int ParseWholeNumber(std::string_view text, int low, int high, std::string_view what);

}  // namespace orbel
