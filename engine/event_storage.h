// The module storage each body's query functions (SunriseText, MoonsetHour, ...)
// keep between calls: their arguments, slots and texts. A slot's time changes
// only when a crossing of its kind is found; a text stays valid until the next
// query that writes its buffer. Shared storage: those queries are not re-entrant.
#pragma once

#include <cstdint>

#include "day_scan.h"
#include "event_types.h"

struct EventModuleStorage {
  DayQuery inputs;      // of the last query
  int32_t currentSlot;  // slot of the last solved crossing; survives from scan to scan
  TextBuffer statusText;
  TextBuffer riseText;
  TextBuffer setText;
  EventSlot slots[2];
  uint8_t riseFound;  // 0, or 0xFF when the last scan found a rise
  uint8_t setFound;
  double Q0, Q2;  // horizon margin at the end of the last scanned day
};

// Stores a query's arguments (day and month widened without sign, the zone
// with its sign) and returns them as a query of the core.
const DayQuery& StoreQuery(EventModuleStorage& storage, uint8_t day, uint8_t month, uint32_t year,
                           double latitude, double longitude, int8_t zone);

// Keeps a scanned day in the slots `riseSlot` and `setSlot`: both statuses,
// and hour, minute and azimuth of each event that was found (a slot whose event
// was not found keeps what an earlier scan wrote there). Returns slot `slot`.
const EventSlot& KeepDay(EventModuleStorage& storage, const BodyDay& day, int riseSlot, int setSlot,
                         int slot);
