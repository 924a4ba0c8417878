#include "report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "day_scan.h"
#include "event_types.h"
#include "moon_age.h"
#include "moon_events.h"
#include "phase_name.h"
#include "sun_events.h"

namespace orbel {

namespace {

// One event as a slot of the engine's core reports it, with the text the query
// functions give for it.
Event EventOf(const EventSlot& slot, const char* (*statusMessage)(int), int offset) {
  Event event{};
  TextBuffer text;
  FormatEventText(slot, statusMessage, text);
  event.text = text;
  event.status = slot.status;
  event.offset = offset;
  if (slot.status == 0) {
    event.hour = slot.hour;
    event.minute = slot.minute;
    event.azimuth = slot.azimuth;
  }
  return event;
}

// One body's scans of a civil day, one per offset in force that day.
struct BodyScans {
  std::vector<BodyDay> days;  // by offset, as DayReport::offsets
  const char* (*statusMessage)(int);
  int noRise, noSet;  // the body's codes for a kind with none that day
};

// The civil day [start, end) of the zone, in seconds since 1970, and how the
// zone's clock reads at any instant.
struct CivilDay {
  int64_t midnight;  // the date's 00:00 as if it were UTC
  int64_t start, end;
  std::vector<int> offsets;
  const Zone* zone;
  Date date;

  ZoneState At(int64_t t) const {
    const std::optional<ZoneState> state = zone->at(t);
    if (!state) {
      throw InputError("the time zone (" + zone->name + ") cannot tell its UTC offset on " +
                       FormatDate(date) + "; give it with --utc-offset or --zone");
    }
    return *state;
  }

  // Whether the clock time `minutes` after midnight, read with `offset`, is an
  // instant of this day at which that offset is in force.
  bool Shows(int64_t minutes, int offset) const {
    const int64_t t = midnight + minutes * 60 - offset;
    return t >= start && t < end && At(t).offset == offset;
  }
};

// The first instant of the civil day whose 00:00 (as if UTC) is `midnight`:
// local midnight under the offset then in force, the earlier one when
// midnight comes twice, or the clock change itself when it skips midnight.
int64_t StartOfCivilDay(const CivilDay& day, int64_t midnight) {
  const int before = day.At(midnight - 86400).offset, after = day.At(midnight + 86400).offset;
  std::optional<int64_t> start;
  for (const int offset : {before, day.At(midnight).offset, after}) {
    const int64_t t = midnight - offset;
    if (day.At(t).offset == offset && (!start || t < *start)) start = t;
  }
  if (start) return *start;
  // Skipped: the change lies between midnight under the old and the new offset.
  int64_t low = midnight - after, high = midnight - before;  // offset changes in (low, high]
  while (high - low > 1) {
    const int64_t middle = low + (high - low) / 2;
    (day.At(middle).offset == after ? high : low) = middle;
  }
  return high;
}

// The last event of a kind in the day over every scan, or the message of the
// scan of local noon.
Event PickEvent(const CivilDay& day, const BodyScans& body, CrossingKind kind, int noonScan) {
  std::optional<Event> last;
  int64_t lastInstant = 0;
  for (size_t i = 0; i < body.days.size(); ++i) {
    const int offset = day.offsets[i];
    const BodyDay& scan = body.days[i];
    for (int c = 0; c < scan.crossingCount; ++c) {
      const Crossing& crossing = scan.crossings[c];
      const int64_t t = day.midnight + std::llround(crossing.hours * 3600) - offset;
      if (crossing.kind != kind || t < day.start || t >= day.end || day.At(t).offset != offset ||
          (last && t < lastInstant)) {
        continue;
      }
      // The instant rounded to the minute, on the clock in force then: a
      // crossing in the last half minute before the clocks go forward reads
      // as the first minute after the change, not as a time that is skipped.
      int64_t minutes = crossing.hour * 60 + crossing.minute;
      const ZoneState shown = day.At(day.midnight + minutes * 60 - offset);
      minutes += (shown.offset - offset) / 60;
      Event event{"",
                  0,
                  static_cast<int>(minutes / 60),
                  static_cast<int>(minutes % 60),
                  crossing.azimuth,
                  shown.offset};
      char text[16];
      std::snprintf(text, sizeof text, "%02d:%02d", event.hour, event.minute);
      event.text = text;
      // A clock time that also shows another offset's instant of the day.
      for (const int other : day.offsets) {
        if (other != shown.offset && day.Shows(minutes, other)) {
          event.text += " " + (shown.abbreviation.empty() ? "UTC" + FormatOffset(shown.offset)
                                                          : shown.abbreviation);
          break;
        }
      }
      last = event;
      lastInstant = t;
    }
  }
  if (last) return *last;
  const BodyDay& noon = body.days[static_cast<size_t>(noonScan)];
  const EventSlot& slot = kind == CrossingKind::kRise ? noon.rise : noon.set;
  EventSlot none = slot;
  if (none.status == 0) {
    // The scan of noon has its event outside the day or under another offset.
    none = EventSlot{};
    none.status = static_cast<EventStatus>(kind == CrossingKind::kRise ? body.noRise : body.noSet);
  }
  return EventOf(none, body.statusMessage, day.offsets[static_cast<size_t>(noonScan)]);
}

// Terminal columns of UTF-8 text (one per code point; the text is ASCII plus °).
size_t DisplayWidth(const std::string& text) {
  size_t width = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++width;
  }
  return width;
}

std::string PadRight(const std::string& text, size_t width) {
  const size_t used = DisplayWidth(text);
  return used >= width ? text : text + std::string(width - used, ' ');
}

// An azimuth in degrees with one decimal, right-aligned in `width` columns, and
// the degree sign. The same digits as printf's "%.1f", without its cost.
std::string Degrees(double azimuth, int width) {
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, azimuth, std::chars_format::fixed, 1);
  const std::string digits(buffer, result.ptr);
  const int pad = width - static_cast<int>(digits.size());
  return (pad > 0 ? std::string(static_cast<size_t>(pad), ' ') : std::string()) + digits +
         "\xC2\xB0";
}

std::string PlaceTitle(const Place& place) {
  const std::string coordinates =
      FormatLatitude(place.latitude) + " " + FormatLongitude(place.longitude);
  if (place.source == "given") return coordinates;
  if (place.source == "default place" || place.source == "saved by orbel") {
    return coordinates + " (" + place.source + ")";
  }
  return place.source + ", " + coordinates;
}

std::string AgeText(int32_t age) {
  return std::to_string(age) + (age == 1 ? " day" : " days");
}

// The short words the table shows for an event that does not happen.
const char* StatusWord(int status) {
  switch (status) {
    case kNoSunrise:
    case kNoMoonrise:
      return "no rise";
    case kNoSunset:
    case kNoMoonset:
      return "no set";
    case kSunDownAllDay:
    case kMoonDownAllDay:
      return "down all day";
    case kSunUpAllDay:
    case kMoonUpAllDay:
      return "up all day";
    default:
      return "?";
  }
}

std::string TableCell(const Event& event) {
  if (event.status != 0) return StatusWord(event.status);
  return event.text + " " + Degrees(event.azimuth, 5);
}

// The shortest text that reads back as the same double.
std::string ShortestDouble(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

// The event's local time in ISO 8601 with its offset: 2026-12-21T07:09+05:30.
// 24:00 is 00:00 of the next day.
std::string IsoTime(const Date& date, const Event& event) {
  const Date day = event.hour == 24 ? DateOfDayNumber(DayNumber(date) + 1) : date;
  char time[16];
  std::snprintf(time, sizeof time, "T%02d:%02d", event.hour % 24, event.minute);
  return FormatDate(day) + time + FormatOffset(event.offset);
}

nlohmann::ordered_json EventToJson(const Date& date, const Event& event) {
  nlohmann::ordered_json json;
  json["text"] = event.text;
  if (event.status != 0) {
    json["status"] = event.status;
  } else {
    json["time"] = IsoTime(date, event);
    json["hour"] = event.hour;
    json["minute"] = event.minute;
    json["azimuth"] = event.azimuth;
  }
  return json;
}

nlohmann::ordered_json PlaceToJson(const Place& place) {
  return {{"latitude", place.latitude}, {"longitude", place.longitude}, {"source", place.source}};
}

nlohmann::ordered_json ZoneToJson(const DayReport& report) {
  nlohmann::ordered_json offsets = nlohmann::ordered_json::array();
  for (const int offset : report.offsets) offsets.push_back(FormatOffset(offset));
  return {{"name", report.zoneName.empty() ? nullptr : nlohmann::ordered_json(report.zoneName)},
          {"utc_offset", FormatOffset(report.noonOffset)},
          {"engine_zone", EngineZone(report.noonOffset)},
          {"utc_offsets", offsets}};
}

}  // namespace

DayReport ComputeDay(const Date& date, const Place& place, const Zone& zone) {
  CivilDay day{};
  day.zone = &zone;
  day.date = date;
  day.midnight = DayNumber(date) * 86400;
  day.start = StartOfCivilDay(day, day.midnight);
  day.end = StartOfCivilDay(day, day.midnight + 86400);
  // The offsets of the day, sampled hourly and at its last second.
  for (int64_t t = day.start;; t += 3600) {
    const int offset = day.At(t < day.end ? t : day.end - 1).offset;
    if (day.offsets.empty() || day.offsets.back() != offset) day.offsets.push_back(offset);
    if (t >= day.end) break;
  }
  // Local noon: the scan whose offset shows 12:00 within the day.
  int noonScan = 0;
  for (size_t i = 0; i < day.offsets.size(); ++i) {
    if (day.Shows(12 * 60, day.offsets[i])) noonScan = static_cast<int>(i);
  }

  const Date engineDate = EngineDate(date);
  BodyScans sun{{}, SunStatusMessage, kNoSunrise, kNoSunset};
  BodyScans moon{{}, MoonStatusMessage, kNoMoonrise, kNoMoonset};
  for (const int offset : day.offsets) {
    const DayQuery query{static_cast<uint32_t>(engineDate.day),
                         static_cast<uint32_t>(engineDate.month),
                         static_cast<uint32_t>(engineDate.year),
                         place.latitude,
                         place.longitude,
                         EngineZone(offset)};
    sun.days.push_back(SunDay(query));
    moon.days.push_back(MoonDay(query));
  }
  DayReport report{};
  report.date = date;
  report.place = place;
  report.zoneName = zone.name;
  report.offsets = day.offsets;
  report.noonOffset = day.offsets[static_cast<size_t>(noonScan)];
  report.sunrise = PickEvent(day, sun, CrossingKind::kRise, noonScan);
  report.sunset = PickEvent(day, sun, CrossingKind::kSet, noonScan);
  report.moonrise = PickEvent(day, moon, CrossingKind::kRise, noonScan);
  report.moonset = PickEvent(day, moon, CrossingKind::kSet, noonScan);
  // The moon age reads dates of 1582 after the reform as Gregorian already.
  report.moonAge = MoonAge(static_cast<uint8_t>(date.day), static_cast<uint8_t>(date.month),
                           static_cast<uint32_t>(date.year));
  return report;
}

std::string ZoneTitle(const DayReport& report) {
  std::string offsets;
  for (const int offset : report.offsets) {
    offsets += (offsets.empty() ? "UTC" : " then UTC") + FormatOffset(offset);
  }
  if (report.offsets.size() > 1) offsets += " (the clocks change)";
  return report.zoneName.empty() ? offsets : report.zoneName + ", " + offsets;
}

const char* EnglishPhaseName(int32_t age) {
  const uint32_t days = static_cast<uint32_t>(age);  // compared as PhaseName compares
  if (days == 0) return "new moon";
  if (days <= 14) return "waxing moon";
  if (days == 15) return "full moon";
  return "waning moon";
}

std::string FormatDayText(const DayReport& report) {
  std::string text = "Orbel report for " + FormatDate(report.date) + "\n";
  text += "  " + PadRight("Place", 11) + PlaceTitle(report.place) + "\n";
  text += "  " + PadRight("Zone", 11) + ZoneTitle(report) + "\n";
  const auto line = [&text](const char* label, const Event& event) {
    text += "  " + PadRight(label, 11);
    if (event.status != 0) {
      text += event.text + "\n";
    } else {
      text += PadRight(event.text, 11) + "azimuth " + Degrees(event.azimuth, 0) + "\n";
    }
  };
  line("Sunrise", report.sunrise);
  line("Sunset", report.sunset);
  line("Moonrise", report.moonrise);
  line("Moonset", report.moonset);
  text += "  " + PadRight("Moon age", 11) + PadRight(AgeText(report.moonAge), 11) +
          PhaseName(report.moonAge) + " (" + EnglishPhaseName(report.moonAge) + ")\n";
  return text;
}

nlohmann::ordered_json DayToJson(const DayReport& report) {
  nlohmann::ordered_json json;
  json["date"] = FormatDate(report.date);
  json["place"] = PlaceToJson(report.place);
  json["zone"] = ZoneToJson(report);
  json["sunrise"] = EventToJson(report.date, report.sunrise);
  json["sunset"] = EventToJson(report.date, report.sunset);
  json["moonrise"] = EventToJson(report.date, report.moonrise);
  json["moonset"] = EventToJson(report.date, report.moonset);
  json["moon"] = {{"age", report.moonAge},
                  {"phase", PhaseName(report.moonAge)},
                  {"phase_english", EnglishPhaseName(report.moonAge)}};
  return json;
}

std::vector<Date> DatesOfYear(int year) {
  std::vector<Date> dates;
  dates.reserve(366);
  for (int month = 1; month <= 12; ++month) {
    for (int day = 1; day <= DaysInMonth(year, month); ++day) {
      const Date date{year, month, day};
      if (IsValidDate(date)) dates.push_back(date);
    }
  }
  return dates;
}

void WriteTableText(std::ostream& out, const Table& table) {
  out << "Orbel table for " << table.year << " at " << PlaceTitle(table.place) << ", "
      << (table.zoneName.empty() ? "fixed offset" : table.zoneName) << "\n";
  out << "Date        Offset  " << PadRight("Sunrise", 18) << PadRight("Sunset", 18)
      << PadRight("Moonrise", 18) << PadRight("Moonset", 18) << "Moon age\n";
  for (const DayReport& day : table.days) {
    out << FormatDate(day.date) << "  " << FormatOffset(day.noonOffset)
        << (day.offsets.size() > 1 ? "* " : "  ") << PadRight(TableCell(day.sunrise), 18)
        << PadRight(TableCell(day.sunset), 18) << PadRight(TableCell(day.moonrise), 18)
        << PadRight(TableCell(day.moonset), 18);
    char age[16];
    std::snprintf(age, sizeof age, "%2d ", static_cast<int>(day.moonAge));
    out << age << PhaseName(day.moonAge) << "\n";
  }
  if (std::any_of(table.days.begin(), table.days.end(),
                  [](const DayReport& day) { return day.offsets.size() > 1; })) {
    out << "* the clocks change that day; the offset is that of local noon\n";
  }
}

void WriteTableCsv(std::ostream& out, const Table& table) {
  out << "date,utc_offset";
  for (const char* name : {"sunrise", "sunset", "moonrise", "moonset"}) {
    out << ',' << name << "_text," << name << "_time," << name << "_hour," << name << "_minute,"
        << name << "_azimuth," << name << "_status";
  }
  out << ",moon_age,moon_phase\n";
  for (const DayReport& day : table.days) {
    out << FormatDate(day.date) << ',' << FormatOffset(day.noonOffset);
    for (const Event* event : {&day.sunrise, &day.sunset, &day.moonrise, &day.moonset}) {
      out << ',' << CsvField(event->text) << ',';
      if (event->status == 0) {
        out << IsoTime(day.date, *event) << ',' << event->hour << ',' << event->minute << ','
            << ShortestDouble(event->azimuth);
      } else {
        out << ",,,";
      }
      out << ',' << event->status;
    }
    out << ',' << day.moonAge << ',' << PhaseName(day.moonAge) << "\n";
  }
}

nlohmann::ordered_json TableToJson(const Table& table) {
  nlohmann::ordered_json json;
  json["year"] = table.year;
  json["place"] = PlaceToJson(table.place);
  json["zone"] = table.zoneName.empty() ? nullptr : nlohmann::ordered_json(table.zoneName);
  nlohmann::ordered_json days = nlohmann::ordered_json::array();
  for (const DayReport& day : table.days) {
    nlohmann::ordered_json entry = DayToJson(day);
    entry.erase("place");  // the same for every day, given once above
    days.push_back(std::move(entry));
  }
  json["days"] = std::move(days);
  return json;
}

}  // namespace orbel
