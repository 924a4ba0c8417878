// The engine's re-entrant core: one body's local day from a single scan of its
// 24 hours, all state in locals or the caller's records. SunDay and MoonDay
// form their body's positions; the scan, statuses and texts are shared here.
#pragma once

#include <cstdint>

#include "event_types.h"

// One query of the core: a civil date, a place and a zone.
struct DayQuery {
  uint32_t day;  // as the calendar reads them: out-of-range values are not rejected
  uint32_t month;
  uint32_t year;
  double latitude;   // degrees, north positive; a southern latitude may be 360 - value
  double longitude;  // degrees, east positive; a western longitude may be 360 - value
  double zone;       // hours, any fraction, that added to the local clock give
                     // universal time: -1 for UTC+1, -5.5 for UTC+5:30
};

enum class CrossingKind : int8_t { kRise, kSet };

// One horizon crossing solved by the scan.
struct Crossing {
  CrossingKind kind;
  int8_t hour;     // local clock time rounded to the nearest minute: 0-24
  int8_t minute;   // 0-59
  double azimuth;  // degrees from north through east, 0-360
  double hours;    // the crossing itself, unrounded: hours after local midnight
};

// A day has 24 hours and an hour holds at most one solved crossing.
enum { kMaxCrossings = 24 };

// One body's day. The rise and set slots are what the queries report: the last
// rise (set) of the day, or a status saying why there is none; a slot with a
// status has hour, minute and azimuth 0.
struct BodyDay {
  EventSlot rise;
  EventSlot set;
  double endMargin;  // horizon margin at the end of the local day: > 0 above
  int crossingCount;
  Crossing crossings[kMaxCrossings];  // every solved crossing in time order
};

// Where the local day starts: the local sidereal angle (radians) and the day
// count from J2000.0 of local midnight.
struct DayStart {
  double siderealAngle;
  double midnight;
};
DayStart StartOfDay(const DayQuery& query);

// The body's right ascension and declination (radians) at the 25 hour
// boundaries of the local day, from midnight to the next midnight.
struct HourlyPositions {
  double rightAscension[25];
  double declination[25];
};

// What sets one body's scan apart: its status codes and their messages, and
// two rules of its arithmetic.
enum StatusKind { kNoRiseStatus, kNoSetStatus, kDownAllDayStatus, kUpAllDayStatus };
struct BodyRules {
  EventStatus codes[4];     // by StatusKind
  const char* messages[4];  // the message of each code
  // The sun forms the minute from the hour as stored in 8 bits, the moon from
  // the full hour; they differ only for hours no real day has.
  bool minuteFromStoredHour;
  // The moon lifts an hour's end right ascension by a turn when it lies below
  // the start's, for that hour's test only.
  bool unwrapEachHour;
};

// Scans the 24 hours at `latitude` (degrees) against the horizon circle whose
// zenith distance has the cosine `cosZenith`: each hour whose horizon margin
// changes sign is solved for the crossing.
BodyDay ScanDay(const DayStart& start, double latitude, double cosZenith,
                const HourlyPositions& positions, const BodyRules& rules);

// Where a body stands `hours` after local midnight of `start`, seen from
// `latitude` (degrees), given its right ascension and declination (radians):
// altitude of its centre above the horizon and azimuth from north through
// east, in degrees; geocentric, without refraction.
struct SkyPosition {
  double altitude;
  double azimuth;
};
SkyPosition SkyPositionAt(const DayStart& start, double hours, double latitude,
                          double rightAscension, double declination);

// The hour angle (radians, not reduced) of a body of that right ascension
// `hours` after local midnight of `start`: 0 on the meridian, growing westward.
double HourAngleAt(const DayStart& start, double hours, double rightAscension);

// The message of a status code of the body, or an empty text for other codes.
const char* StatusMessage(const BodyRules& rules, int code);

// What the hour, minute and azimuth queries return: the status when it is not
// 0, else the value.
int HourOrStatus(const EventSlot& slot);
int MinuteOrStatus(const EventSlot& slot);
double AzimuthOrStatus(const EventSlot& slot);

// The text of a slot into a zero-filled buffer: "HH:MM", or the message that
// `statusMessage` gives for its status.
void FormatEventText(const EventSlot& slot, const char* (*statusMessage)(int),
                     char (&buffer)[kTextBufferSize]);
