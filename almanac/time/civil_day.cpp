#include "civil_day.h"

#include <optional>

#include "error.h"
#include "printable.h"

namespace orbel {

namespace {

// The first instant of the civil day whose 00:00 (as if UTC) is `midnight`:
// local midnight under the offset then in force, the earlier one when
// midnight comes twice, or the clock change itself when it skips midnight.
Instant StartOfCivilDay(const CivilDay& day, Instant midnight) {
  const int before = day.At(midnight - 86400).offset, after = day.At(midnight + 86400).offset;
  std::optional<Instant> start;
  for (const int offset : {before, day.At(midnight).offset, after}) {
    const Instant t = midnight - offset;
    if (day.At(t).offset == offset && (!start || t < *start)) start = t;
  }
  if (start) return *start;
  // Skipped: the change lies between midnight under the old and the new offset.
  Instant low = midnight - after, high = midnight - before;  // offset changes in (low, high]
  while (high - low > 1) {
    const Instant middle = low + (high - low) / 2;
    (day.At(middle).offset == after ? high : low) = middle;
  }
  return high;
}

}  // namespace

ZoneState CivilDay::At(Instant t) const {
  const std::optional<ZoneState> state = zone->at(t);
  if (!state) {
    throw InputError("the time zone (" + Printable(zone->name, 40) +
                     ") cannot tell its UTC offset on " + FormatDate(date) +
                     "; give it with --utc-offset or --zone");
  }
  return *state;
}

bool CivilDay::Shows(int64_t minutes, int offset) const {
  const Instant t = midnight + minutes * 60 - offset;
  return t >= start && t < end && At(t).offset == offset;
}

Instant CivilDay::InstantAt(int64_t seconds, int offset) const {
  return midnight + seconds - offset;
}

bool CivilDay::Holds(Instant t, int offset) const {
  return t >= start && t < end && At(t).offset == offset;
}

CivilDay::Reading CivilDay::Read(int64_t minutes, int scanOffset) const {
  Reading reading{minutes, At(midnight + minutes * 60 - scanOffset), false};
  reading.minutes += (reading.shown.offset - scanOffset) / 60;
  for (const int other : offsets) {
    if (other != reading.shown.offset && Shows(reading.minutes, other)) reading.repeated = true;
  }
  return reading;
}

Instant CivilDay::InstantOfClock(int64_t minutes) const {
  int offset = offsets[static_cast<size_t>(noonScan)];
  for (const int o : offsets) {
    if (Shows(minutes, o)) offset = o;
  }
  return midnight + minutes * 60 - offset;
}

std::optional<Instant> CivilDay::FirstInstantShowing(int64_t seconds) const {
  std::optional<Instant> first;
  for (const int offset : offsets) {
    const Instant t = InstantAt(seconds, offset);
    if (Holds(t, offset) && (!first || t < *first)) first = t;
  }
  return first;
}

CivilDay MakeCivilDay(const Date& date, const Zone& zone) {
  CivilDay day{&zone, date, DayNumber(date) * 86400, 0, 0, {}, 0};
  day.start = StartOfCivilDay(day, day.midnight);
  day.end = StartOfCivilDay(day, day.midnight + 86400);
  // The offsets of the day, sampled hourly and at its last second.
  for (Instant t = day.start;; t += 3600) {
    const int offset = day.At(t < day.end ? t : day.end - 1).offset;
    if (day.offsets.empty() || day.offsets.back() != offset) day.offsets.push_back(offset);
    if (t >= day.end) break;
  }
  // Local noon: the offset that shows 12:00 within the day.
  for (size_t i = 0; i < day.offsets.size(); ++i) {
    if (day.Shows(12 * 60, day.offsets[i])) day.noonScan = static_cast<int>(i);
  }
  return day;
}

}  // namespace orbel
