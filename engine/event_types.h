// Records shared by the sun and moon event modules.
#pragma once

#include <cstdint>

// Why an event did not happen on the date; 0 when it was found. The sun uses
// -1..-4, the moon -10..-40.
typedef int8_t EventStatus;

// One rise or set result. A non-zero status replaces hour, minute and azimuth.
struct EventSlot {
  EventStatus status;
  int8_t hour;     // local clock hour, 0-24
  int8_t minute;   // 0-59
  double azimuth;  // degrees from north through east, 0-360
};

// Size of every text buffer an event module owns.
enum { kTextBufferSize = 50 };
typedef char TextBuffer[kTextBufferSize];

// The arguments of every sun and moon query, in call order. Southern latitudes
// and western longitudes may be passed as 360 - value.
struct EventQuery {
  uint8_t day;
  uint8_t month;
  uint32_t year;
  double latitude;   // degrees, north positive
  double longitude;  // degrees, east positive
  int8_t zone;       // hours that, added to the local clock, give universal time
};
