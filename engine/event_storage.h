// The module storage each body's query functions (SunriseText, MoonsetHour, ...)
// keep between calls: their arguments, slots and texts. A slot's time changes
// only when a crossing of its kind is found; a text stays valid until the next
// query that writes its buffer. Shared storage: those queries are not re-entrant.
#pragma once

#include <cstdint>

#include "day_scan.h"
#include "event_types.h"

struct EventModuleStorage {
  // The six arguments of the last query; every query overwrites them all.
  DayQuery inputs;
  // The slot of the last crossing solved, rise or set, over all scans so far
  // (never reset). Nothing reads it: it would decide where a crossing with a
  // margin of exactly zero at an hour boundary goes, and the scan skips such
  // an hour instead.
  int32_t currentSlot;
  // The text SunStatusText / MoonStatusText returned last.
  TextBuffer statusText;
  // The text the rise query returned last ("HH:MM" or a status message).
  TextBuffer riseText;
  // The text the set query returned last.
  TextBuffer setText;
  // The rise and the set slot (the moon's in the other order): each its last
  // hour, minute and azimuth found, kept when a scan finds none of its kind,
  // and the status of the last scan.
  EventSlot slots[2];
  // 0xFF when the last scan found a rise, else 0; decides whether that scan
  // replaced the rise slot's hour, minute and azimuth.
  uint8_t riseFound;
  // 0xFF when the last scan found a set, else 0; the same for the set slot.
  uint8_t setFound;
  // The horizon margin at the end of the last scanned day (24:00 local), as
  // the hour test leaves its start and end margins; kept, not read again.
  double Q0, Q2;
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
