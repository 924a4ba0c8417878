// One body's local day from a single scan of its 24 hours.
//
// This is the engine's re-entrant core: a query goes in, the body's day comes
// out, and every piece of state lives in locals or in the caller's records, so
// any number of threads may scan at once. The sun (sun_events.h) and the moon
// (moon_events.h) each have their own scan over their own positions; what the
// two scans share is here: the start of the local day, the hour test, the
// statuses and the texts. The design's query functions are thin wrappers over
// the scans that keep their module storage.
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

// The status codes of one body (the sun's -1..-4, the moon's -10..-40).
struct StatusCodes {
  EventStatus noRise;      // a set but no rise on the date
  EventStatus noSet;       // a rise but no set on the date
  EventStatus downAllDay;  // no crossing, below the horizon at the end of the day
  EventStatus upAllDay;    // no crossing, above the horizon at the end of the day
};

// Where a local day starts: the local sidereal angle at local midnight
// (radians) and the day count (days from J2000.0) of local midnight.
struct DayStart {
  double siderealAngle;
  double midnight;
};
DayStart StartOfDay(const DayQuery& query);

// One scan in progress: what stays fixed through the day, the margin carried
// from hour to hour, and the day being filled.
struct HorizonScan {
  double siderealAngle;  // at local midnight
  double sinLat;
  double cosLat;
  double cosZenith;  // cosine of the horizon circle's zenith distance
  // The sun forms the minute from the hour as stored in 8 bits, the moon from
  // the full hour; they differ only for hours no real day has.
  bool minuteFromStoredHour;
  double startMargin;  // horizon margin at the start of the hour under test
  double endMargin;    // and at its end
  bool riseFound;
  bool setFound;
  BodyDay* day;
};

// Starts a scan of `day` (which it clears) at latitude `latitude` (degrees)
// with the horizon circle's cosine `cosZenith`.
HorizonScan BeginScan(BodyDay& day, const DayStart& start, double latitude, double cosZenith,
                      bool minuteFromStoredHour);

// Tests clock hour `hour` (0-23) of the scan, given the body's right ascension
// and declination (radians) at its start and its end: where the horizon margin
// changes sign from one end to the other, solves the crossing and records it.
// The end margin becomes the next hour's start margin.
void TestHour(HorizonScan& scan, double hour, double raStart, double decStart, double raEnd,
              double decEnd);

// Gives the slots their statuses once all 24 hours are tested.
void FinishStatus(HorizonScan& scan, const StatusCodes& codes);

// What the hour, minute and azimuth queries return: the status when it is not
// 0, else the value.
int HourOrStatus(const EventSlot& slot);
int MinuteOrStatus(const EventSlot& slot);
double AzimuthOrStatus(const EventSlot& slot);

// The text of a slot into a zero-filled buffer: "HH:MM", or the message that
// `statusMessage` gives for its status.
void FormatEventText(const EventSlot& slot, const char* (*statusMessage)(int),
                     char (&buffer)[kTextBufferSize]);
