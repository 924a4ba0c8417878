#include "day.h"

#include <algorithm>
#include <stdexcept>

#include <fmt/format.h>

#include "moon_age.h"
#include "moon_events.h"
#include "sun_events.h"
#include "error.h"
#include "kind_scan.h"
#include "printable.h"
#include "time/civil_day.h"

namespace orbel {

namespace {

// Every crossing of a kind and direction in the day as a report's event, in
// time order; when there is none, the message of the scan of local noon.
std::vector<Event> PickEvents(const CivilDay& day, const KindScan& scanned, const EventKind& kind,
                              CrossingKind direction) {
  std::vector<Event> events;
  for (const DayCrossing& found : scanned.crossings) {
    if (found.crossing.kind != direction) continue;
    const CivilDay::Reading reading =
        day.Read(found.crossing.hour * 60 + found.crossing.minute, found.offset);
    Event event{"",
                0,
                static_cast<int>(reading.minutes / 60),
                static_cast<int>(reading.minutes % 60),
                found.crossing.azimuth,
                reading.shown.offset,
                day.InstantAt(reading.minutes * 60, reading.shown.offset),
                found.altitude};
    event.text = fmt::format("{:02}:{:02}", event.hour, event.minute);
    if (reading.repeated) {
      event.text +=
          " " + (reading.shown.abbreviation.empty() ? "UTC" + FormatOffset(reading.shown.offset)
                                                    : reading.shown.abbreviation);
    }
    events.push_back(std::move(event));
  }
  if (!events.empty()) return events;
  const int noonOffset = day.offsets[static_cast<size_t>(day.noonScan)];
  if (!scanned.note.empty())
    return {Event{scanned.note, scanned.noteStatus, 0, 0, 0, noonOffset, 0}};
  int status = scanned.noonStatus[direction == CrossingKind::kRise ? 0 : 1];
  if (status == 0) {
    // The scan of noon has its event outside the day or under another offset.
    const bool moon = kind.circle.body == Body::kMoon;
    if (direction == CrossingKind::kRise) {
      status = moon ? static_cast<int>(kNoMoonrise) : static_cast<int>(kNoSunrise);
    } else {
      status = moon ? static_cast<int>(kNoMoonset) : static_cast<int>(kNoSunset);
    }
  }
  return {Event{kind.messages.texts[StatusKindOf(status)], status, 0, 0, 0, noonOffset, 0}};
}

// The seconds the sun is above the horizon between the day's start and end,
// from its rises and sets in time order, or its status on a day without any.
int64_t DayLength(const CivilDay& day, const KindDay& sun) {
  std::vector<std::pair<Instant, bool>> events;  // the minute shown, and whether a rise
  for (const bool rise : {true, false}) {
    for (const Event& event : rise ? sun.rises : sun.sets) {
      if (event.status == 0) events.emplace_back(std::clamp(event.at, day.start, day.end), rise);
    }
  }
  if (events.empty()) return sun.rises.front().status == kSunUpAllDay ? day.end - day.start : 0;
  std::stable_sort(events.begin(), events.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  // Up from the start when the first event is a set.
  std::optional<Instant> upSince;
  if (!events.front().second) upSince = day.start;
  int64_t length = 0;
  for (const auto& [at, rise] : events) {
    if (rise && !upSince) upSince = at;
    if (!rise && upSince) {
      length += at - *upSince;
      upSince.reset();
    }
  }
  if (upSince) length += day.end - *upSince;
  return length;
}

}  // namespace

std::vector<KindDay::Interval> KindDay::Intervals() const {
  std::vector<std::pair<const Event*, bool>> events;  // and whether a rise
  for (const bool rise : {true, false}) {
    for (const Event& event : rise ? rises : sets) {
      if (event.status == 0) events.emplace_back(&event, rise);
    }
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const auto& a, const auto& b) { return a.first->at < b.first->at; });
  std::vector<Interval> intervals;
  const Event* rise = nullptr;
  for (const auto& [event, isRise] : events) {
    if (isRise) {
      if (rise != nullptr) intervals.push_back({rise, nullptr});
      rise = event;
    } else {
      intervals.push_back({rise, event});
      rise = nullptr;
    }
  }
  if (rise != nullptr) intervals.push_back({rise, nullptr});
  return intervals;
}

const KindDay& DayReport::Of(const EventKind& kind) const {
  for (const KindDay& k : kinds) {
    if (k.kind == &kind) return k;
  }
  throw std::out_of_range(std::string("the day holds no ") + kind.key + " events");
}

const Event& DayReport::Find(std::string_view name) const {
  const std::optional<EventRef> event = FindEvent(name);
  if (!event) throw std::out_of_range("no event " + std::string(name));
  return Of(*event);
}

DayReport ComputeDay(const Date& date, const Place& place, const Zone& zone, int litMinutes,
                     const KindFilter& wanted, bool withNextPhase, const EventKind* extra) {
  const CivilDay day = MakeCivilDay(date, zone);
  if (day.Skipped()) {
    throw SkippedDate(FormatDate(date) + " does not exist in " + Printable(zone.name, 40) +
                      ": its clocks skipped that day");
  }
  DayReport report{};
  report.date = date;
  report.place = place;
  report.zoneName = zone.name;
  report.offsets = day.offsets;
  report.noonOffset = day.offsets[static_cast<size_t>(day.noonScan)];
  std::vector<const EventKind*> kinds;
  for (const EventKind& kind : EventKinds()) {
    if (!wanted || wanted(kind)) kinds.push_back(&kind);
  }
  if (extra != nullptr) kinds.push_back(extra);
  for (const EventKind* each : kinds) {
    const EventKind& kind = *each;
    const KindScan scanned = ScanKind(day, place, kind);
    report.kinds.push_back({&kind, PickEvents(day, scanned, kind, CrossingKind::kRise),
                            PickEvents(day, scanned, kind, CrossingKind::kSet), scanned.note});
  }
  for (const KindDay& k : report.kinds) {
    if (k.kind == &RiseAndSetOf(Body::kSun)) report.dayLength = DayLength(day, k);
  }
  // The lit fraction at the clock time asked for, and the next phase.
  const Instant litInstant = day.InstantOfClock(litMinutes);
  report.illuminated = IlluminatedAt(litInstant);
  report.litMinutes = litMinutes;
  report.litInstant = litInstant;
  if (withNextPhase) report.nextPhase = NextPhase(litInstant);
  // The moon age reads dates of 1582 after the reform as Gregorian already.
  report.moonAge = MoonAge(static_cast<uint8_t>(date.day), static_cast<uint8_t>(date.month),
                           static_cast<uint32_t>(date.year));
  return report;
}

std::optional<PolarSpan> PolarSpanOf(const Date& date, const Place& place, const Zone& zone,
                                     int days) {
  const EventKind& sun = RiseAndSetOf(Body::kSun);
  const KindFilter onlySun = [&sun](const EventKind& kind) { return &kind == &sun; };
  // The sun's status on a day: up or down all day, or 0 with an event.
  const auto status = [&](int64_t dayNumber) {
    try {
      return ComputeDay(DateOfDayNumber(dayNumber), place, zone, 12 * 60, onlySun, false)
          .Of(sun)
          .Of(CrossingKind::kRise)
          .status;
    } catch (const InputError&) {
      return 0;  // a day the zone skipped, or past the calendar's years, ends the run
    }
  };
  const int64_t today = DayNumber(date);
  const int state = status(today);
  if (state != kSunUpAllDay && state != kSunDownAllDay) return std::nullopt;
  int64_t first = today, last = today;
  while (status(first - 1) == state) {
    if (--first < today - days) return std::nullopt;
  }
  while (status(last + 1) == state) {
    if (++last > today + days) return std::nullopt;
  }
  return PolarSpan{state == kSunUpAllDay, DateOfDayNumber(first), DateOfDayNumber(last)};
}

YearDays ComputeYear(int year, const Place& place, const Zone& zone, const KindFilter& wanted,
                     bool withNextPhase, const EventKind* extra) {
  return ComputeDays(DatesOfYear(year), place, zone, wanted, withNextPhase, extra);
}

YearDays ComputeDays(const std::vector<Date>& dates, const Place& place, const Zone& zone,
                     const KindFilter& wanted, bool withNextPhase, const EventKind* extra) {
  YearDays days{};
  for (const Date& date : dates) {
    try {
      days.days.push_back(ComputeDay(date, place, zone, 12 * 60, wanted, withNextPhase, extra));
    } catch (const SkippedDate&) {
      days.skipped.push_back(date);
    }
  }
  return days;
}

}  // namespace orbel
