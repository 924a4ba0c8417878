#include "event_storage.h"

void StoreQuery(EventModuleStorage& storage, uint8_t day, uint8_t month, uint32_t year,
                double latitude, double longitude, int8_t zone) {
  storage.latitude = latitude;
  storage.longitude = longitude;
  storage.zone = zone;
  storage.day = day;
  storage.month = month;
  storage.year = year;
}

DayQuery StoredQuery(const EventModuleStorage& storage) {
  return DayQuery{storage.day,      storage.month,     storage.year,
                  storage.latitude, storage.longitude, static_cast<double>(storage.zone)};
}

void KeepDay(EventModuleStorage& storage, const BodyDay& day, int riseSlot, int setSlot) {
  storage.riseFound = 0;
  storage.setFound = 0;
  for (int i = 0; i < day.crossingCount; ++i) {
    const bool rise = day.crossings[i].kind == CrossingKind::kRise;
    (rise ? storage.riseFound : storage.setFound) = 0xFF;
    storage.currentSlot = rise ? riseSlot : setSlot;
  }
  EventSlot& rise = storage.slots[riseSlot];
  EventSlot& set = storage.slots[setSlot];
  if (storage.riseFound != 0) rise = day.rise;
  if (storage.setFound != 0) set = day.set;
  rise.status = day.rise.status;
  set.status = day.set.status;
  storage.Q0 = day.endMargin;
  storage.Q2 = day.endMargin;
}
