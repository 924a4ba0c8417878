// Text for people: the day's report, the year's table, the phases, the sky
// now and wait's line.
#include <algorithm>
#include <cstdlib>

#include <fmt/format.h>

#include "format.h"
#include "phase_name.h"
#include "printable.h"
#include "render.h"

namespace orbel {

namespace {

bool twelveHourClock = false;

// A clock reading that starts "HH:MM" ("07:38", "02:04 CEST", "15:54:00") as
// the chosen clock writes it: "7:38 AM", "2:04 AM CEST", "3:54:00 PM".
std::string Clock(const std::string& text) {
  const auto digit = [&](size_t i) { return text[i] >= '0' && text[i] <= '9'; };
  if (!twelveHourClock || text.size() < 5 || !digit(0) || !digit(1) || text[2] != ':') return text;
  const int hour = (text[0] - '0') * 10 + (text[1] - '0');
  const size_t end = text.size() >= 8 && text[5] == ':' ? 8 : 5;  // with the seconds
  return fmt::format("{}{} {}{}", hour % 12 == 0 ? 12 : hour % 12, text.substr(2, end - 2),
                     hour < 12 ? "AM" : "PM", text.substr(end));
}

// "2026-12-08 15:54" and the like, its clock reading as Clock writes it.
std::string DateAndClock(const std::string& text) {
  return text.size() > 11 ? text.substr(0, 11) + Clock(text.substr(11)) : text;
}

// "2026-12-07 16:32:05 Europe/Berlin (UTC+01:00)", on the 24-hour clock.
std::string InstantText24(const Zone& zone, Instant instant);

// A name from outside (a zone from TZ, a city of the zone table) as a
// terminal may show it.
std::string Shown(const std::string& name) {
  return Printable(name, 40);
}

std::string PlaceTitle(const Place& place) {
  const std::string coordinates =
      FormatLatitude(place.latitude) + " " + FormatLongitude(place.longitude);
  if (place.source == "given") return coordinates;
  if (place.source == "default place" || place.source == "saved by orbel" ||
      place.source == "home place") {
    return coordinates + " (" + place.source + ")";
  }
  return Printable(place.source, 80) + ", " + coordinates;
}

// "Asia/Kolkata, UTC+05:30"; "UTC+05:30" for a fixed offset; both offsets on
// a day when the clocks change.
std::string ZoneTitle(const DayReport& report) {
  std::string offsets;
  for (const int offset : report.offsets) {
    offsets += (offsets.empty() ? "UTC" : " then UTC") + FormatOffset(offset);
  }
  if (report.offsets.size() > 1) offsets += " (the clocks change)";
  return report.zoneName.empty() ? offsets : Shown(report.zoneName) + ", " + offsets;
}

std::string AgeText(int32_t age) {
  return std::to_string(age) + (age == 1 ? " day" : " days");
}

// The clock times of a direction's events, "00:56, 23:38", or its message.
std::string Times(const std::vector<Event>& events) {
  return JoinEvents(events, ", ", [](const Event& e) { return Clock(e.text); });
}

// "dawn 06:35  dusk 17:41", or the message once when both share it.
std::string KindLine(const KindDay& day) {
  const Event &rise = day.Of(CrossingKind::kRise), &set = day.Of(CrossingKind::kSet);
  if (rise.status != 0 && rise.text == set.text) return rise.text;
  return std::string(day.kind->rise.word) + " " + Times(day.rises) + "  " + day.kind->set.word +
         " " + Times(day.sets);
}

// A photographers' hour as its intervals in time order, "05:12-06:03,
// 19:40-20:31", an interval under way at midnight as "until 02:10" or
// "from 21:40", then the messages of the circles not crossed that day.
std::string HourLine(const KindDay& day) {
  const std::vector<KindDay::Interval> intervals = day.Intervals();
  if (intervals.empty()) return day.rises.front().text;
  std::string line;
  for (const auto& [start, end] : intervals) {
    line += line.empty() ? "" : ", ";
    if (start == nullptr)
      line += "until " + Clock(end->text);
    else if (end == nullptr)
      line += "from " + Clock(start->text);
    else
      line += Clock(start->text) + "\u2013" + Clock(end->text);
  }
  return day.note.empty() ? line : line + "  " + day.note;
}

// A table cell: time and azimuth (altitude for a transit), or the kind's
// words for a day without it.
std::string TableCell(const EventKind& kind, const Event& event) {
  if (event.status == 0) {
    return Clock(event.text) + " " +
           Degrees(kind.circle.meridian ? event.altitude : event.azimuth, 5);
  }
  return kind.words.texts[StatusKindOf(event.status)];
}

// "9 d 08 h", "1 h 05 min", "4 min 10 s", "12 s".
std::string Duration(int64_t seconds) {
  if (seconds >= 86400) return fmt::format("{} d {:02} h", seconds / 86400, seconds / 3600 % 24);
  if (seconds >= 3600) return fmt::format("{} h {:02} min", seconds / 3600, seconds / 60 % 60);
  if (seconds >= 60) return fmt::format("{} min {:02} s", seconds / 60, seconds % 60);
  return fmt::format("{} s", seconds);
}

}  // namespace

std::string DayLengthText(int64_t seconds) {
  const int64_t minutes = seconds / 60;
  return fmt::format("{} h {:02} min", minutes / 60, minutes % 60);
}

std::string PolarText(const PolarSpan& span) {
  return std::string(span.sunUp ? "midnight sun" : "polar night") + " since " +
         FormatDate(span.since) + ", until " + FormatDate(span.until);
}

std::string DayText(const DayReport& report, const Zone& zone, bool onRequestKinds) {
  std::string text = "Orbel report for " + FormatDate(report.date) + "\n";
  text += "  " + PadRight("Place", 11) + PlaceTitle(report.place) + "\n";
  if (!report.place.note.empty()) text += std::string(13, ' ') + report.place.note + "\n";
  text += "  " + PadRight("Zone", 11) + ZoneTitle(report) + "\n";
  for (const KindDay& day : report.kinds) {
    const EventKind& kind = *day.kind;
    if (kind.onRequest && !kind.inEveryDay && !onRequestKinds) continue;
    if (!kind.title.empty()) {
      text += "  " + PadRight(kind.title, 14) + (kind.upper ? HourLine(day) : KindLine(day)) + "\n";
      continue;
    }
    for (const auto& [edge, events] : {std::pair{&kind.rise, &day.rises}, {&kind.set, &day.sets}}) {
      text += "  " + PadRight(edge->word, 11);
      if (events->front().status != 0) {
        text += events->front().text + "\n";
        continue;
      }
      const bool meridian = kind.circle.meridian;
      const std::string angles = JoinEvents(*events, ", ", [meridian](const Event& e) {
        return Degrees(meridian ? e.altitude : e.azimuth, 0);
      });
      const std::string times = Times(*events);
      text += (times.size() < 11 ? PadRight(times, 11) : times + "  ") +
              (meridian ? "altitude " : "azimuth ") + angles + "\n";
    }
  }
  if (report.dayLength)
    text += "  " + PadRight("Day length", 11) + DayLengthText(*report.dayLength) + "\n";
  if (report.polar) text += "  " + PadRight("Polar", 11) + PolarText(*report.polar) + "\n";
  text += "  " + PadRight("Moon age", 11) + PadRight(AgeText(report.moonAge), 11) +
          PhaseName(report.moonAge) + " (" + EnglishPhaseName(report.moonAge) + ")\n";
  text += "  " + PadRight("Moon", 11) +
          fmt::format(
              "{:.1f}% lit at {}", report.illuminated * 100,
              Clock(fmt::format("{:02}:{:02}", report.litMinutes / 60, report.litMinutes % 60))) +
          "\n";
  const PhaseInstant& phase = report.nextPhase.value();
  const LocalTime next = LocalTimeAt(zone, RoundToMinute(phase.instant));
  text += "  " + PadRight("Next phase", 11) + PrincipalPhaseName(phase.phase) + ", " +
          DateAndClock(LocalMinuteText(zone, phase.instant)) + " UTC" + FormatOffset(next.offset) +
          "\n";
  return text;
}

// "2026", "2026-12" for a whole month, "2026-12-01 to 2027-01-31".
std::string TableSpan(const YearTable& table) {
  if (!table.range) return std::to_string(table.year);
  const auto& [first, last] = *table.range;
  if (first.day == 1 && last.year == first.year && last.month == first.month &&
      last.day == DaysInMonth(last.year, last.month)) {
    return FormatDate(first).substr(0, 7);
  }
  return FormatDate(first) + " to " + FormatDate(last);
}

void WriteTableText(std::ostream& out, const YearTable& table) {
  out << "Orbel table for " << TableSpan(table) << " at " << PlaceTitle(table.place) << ", "
      << (table.zoneName.empty() ? "fixed offset" : Shown(table.zoneName)) << "\n";
  out << "Date        Offset  ";
  for (const EventKind* column : table.Columns()) {
    const EventKind& kind = *column;
    const std::string prefix = kind.title.empty() ? "" : std::string(kind.key) + " ";
    out << PadRight(prefix + kind.rise.word, 18) << PadRight(prefix + kind.set.word, 18);
  }
  out << "Moon age\n";
  for (const DayReport& day : table.days) {
    out << FormatDate(day.date) << "  " << FormatOffset(day.noonOffset)
        << (day.offsets.size() > 1 ? "* " : "  ");
    for (const KindDay& k : day.kinds) {
      if (!table.Shows(*k.kind)) continue;
      out << PadRight(TableCell(*k.kind, k.Of(CrossingKind::kRise)), 18)
          << PadRight(TableCell(*k.kind, k.Of(CrossingKind::kSet)), 18);
    }
    out << fmt::format("{:2} ", day.moonAge) << PhaseName(day.moonAge) << "\n";
  }
  if (std::any_of(table.days.begin(), table.days.end(),
                  [](const DayReport& day) { return day.offsets.size() > 1; })) {
    out << "* the clocks change that day; the offset is that of local noon\n";
  }
}

void WritePhasesText(std::ostream& out, int year, const Zone& zone,
                     const std::vector<PhaseInstant>& phases) {
  out << "Moon phases of " << year << ", "
      << (zone.name.empty() ? "fixed offset" : Shown(zone.name)) << "\n";
  for (const PhaseInstant& p : phases) {
    const LocalTime t = LocalTimeAt(zone, RoundToMinute(p.instant));
    out << DateAndClock(LocalMinuteText(zone, p.instant)) << " UTC" << FormatOffset(t.offset)
        << "  " << PrincipalPhaseName(p.phase) << '\n';
  }
}

namespace {

std::string InstantText24(const Zone& zone, Instant instant) {
  const LocalTime t = LocalTimeAt(zone, instant);
  const std::string utc = "UTC" + FormatOffset(t.offset);
  return fmt::format("{} {:02}:{:02}:{:02} {}", FormatDate(t.date), t.hour, t.minute, t.second,
                     zone.name.empty() ? utc : Shown(zone.name) + " (" + utc + ")");
}

}  // namespace

void UseTwelveHourClock(bool twelveHour) {
  twelveHourClock = twelveHour;
}

std::string InstantText(const Zone& zone, Instant instant) {
  return DateAndClock(InstantText24(zone, instant));
}

std::string SkyNowText(const SkyNow& now, const Zone& zone) {
  std::string text = "Orbel now: " + InstantText(zone, now.instant) + "\n";
  for (const auto& [name, body] : {std::pair{"Sun", &now.sun}, {"Moon", &now.moon}}) {
    text += fmt::format("  {:<5} altitude {:6.1f}\u00b0  azimuth {:5.1f}\u00b0  {:<4}", name,
                        body->position.altitude, body->position.azimuth, body->up ? "up" : "down");
    if (body->next != nullptr) {
      text +=
          std::string("  next ") + body->next->name + " " + InstantText(zone, body->nextInstant);
    }
    text += "\n";
  }
  return text + "  Twilight " + now.band + "\n";
}

std::string WaitLine(const WaitMoment& moment, const Zone& zone) {
  const Instant at = moment.eventInstant + moment.shift;
  // The event's time of day, with its date when that is not the moment's.
  const std::string event = InstantText24(zone, moment.eventInstant);
  const bool sameDate = LocalDate(zone, at) == LocalDate(zone, moment.eventInstant);
  std::string line = InstantText(zone, at) + ", " + moment.event->name + " at " +
                     (sameDate ? Clock(event.substr(11, 8)) : DateAndClock(event.substr(0, 19)));
  if (moment.shift != 0) {
    line += " " + std::string(moment.shift < 0 ? "- " : "+ ") +
            FormatOffset(std::abs(moment.shift)).substr(1);
  }
  if (at < moment.now) return line + ", " + Duration(moment.now - at) + " ago";
  return line + ", in " + Duration(at - moment.now);
}

}  // namespace orbel
