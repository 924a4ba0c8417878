#include "event_storage.h"

const DayQuery& StoreQuery(EventModuleStorage& storage, uint8_t day, uint8_t month, uint32_t year,
                           double latitude, double longitude, int8_t zone) {
  storage.inputs = DayQuery{day, month, year, latitude, longitude, static_cast<double>(zone)};
  return storage.inputs;
}

const EventSlot& KeepDay(EventModuleStorage& storage, const BodyDay& day, int riseSlot, int setSlot,
                         int slot) {
  // An event was found exactly when its slot has no status.
  storage.riseFound = day.rise.status == 0 ? 0xFF : 0;
  storage.setFound = day.set.status == 0 ? 0xFF : 0;
  if (day.crossingCount > 0) {
    const bool lastIsRise = day.crossings[day.crossingCount - 1].kind == CrossingKind::kRise;
    storage.currentSlot = lastIsRise ? riseSlot : setSlot;
  }
  EventSlot& rise = storage.slots[riseSlot];
  EventSlot& set = storage.slots[setSlot];
  if (storage.riseFound != 0) rise = day.rise;
  if (storage.setFound != 0) set = day.set;
  rise.status = day.rise.status;
  set.status = day.set.status;
  storage.Q0 = day.endMargin;
  storage.Q2 = day.endMargin;
  return storage.slots[slot];
}
