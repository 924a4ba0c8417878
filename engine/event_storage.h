// The module storage that each body's query functions keep between calls.
//
// The query functions (SunriseText, MoonsetHour, ...) store their arguments,
// scan the day through the re-entrant core and read one slot, with the
// storage's lifetime rules: a slot's hour, minute and azimuth change only when
// a crossing of its kind is found, and a returned text stays valid until the
// next query that writes the same buffer. The storage is shared by all queries
// of a body, so those queries are not re-entrant; the core is.
#pragma once

#include <cstdint>

#include "day_scan.h"
#include "event_types.h"

struct EventModuleStorage {
  // The inputs of the last query, as passed.
  double latitude;
  double longitude;  // degrees
  int32_t zone;
  uint32_t day;
  uint32_t month;
  uint32_t year;
  // The slot of the last solved crossing; it survives from scan to scan.
  int32_t currentSlot;
  TextBuffer statusText;
  TextBuffer riseText;
  TextBuffer setText;
  EventSlot slots[2];
  uint8_t riseFound;  // 0, or 0xFF when the last scan found a rise
  uint8_t setFound;
  double Q0, Q2;  // horizon margin at the end of the last scanned day
};

// Stores a query's arguments, day and month widened without sign and the zone
// with its sign.
void StoreQuery(EventModuleStorage& storage, uint8_t day, uint8_t month, uint32_t year,
                double latitude, double longitude, int8_t zone);

// The stored arguments as a query of the core.
DayQuery StoredQuery(const EventModuleStorage& storage);

// Keeps a scanned day in the slots `riseSlot` and `setSlot`: both statuses,
// and hour, minute and azimuth of each event that was found (a slot whose event
// was not found keeps what an earlier scan wrote there).
void KeepDay(EventModuleStorage& storage, const BodyDay& day, int riseSlot, int setSlot);
