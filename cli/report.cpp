#include "report.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "civil_day.h"
#include "day_scan.h"
#include "event_types.h"
#include "moon_age.h"
#include "phases.h"
#include "moon_events.h"
#include "phase_name.h"
#include "sun_events.h"

namespace orbel {

namespace {

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

// A table cell: time and azimuth, or the status in short words; for twilight
// "no dawn", "no dusk", "below all day" and "above all day".
std::string TableCell(const Event& event, bool twilight = false) {
  if (event.status == 0) return event.text + " " + Degrees(event.azimuth, 5);
  if (!twilight) return StatusWord(event.status);
  switch (event.status) {
    case kNoSunrise:
      return "no dawn";
    case kNoSunset:
      return "no dusk";
    case kSunDownAllDay:
      return "below all day";
    default:
      return "above all day";
  }
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

DayReport ComputeDay(const Date& date, const Place& place, const Zone& zone, bool twilight,
                     int litMinutes) {
  const CivilDay day = MakeCivilDay(date, zone);
  DayReport report{};
  report.date = date;
  report.place = place;
  report.zoneName = zone.name;
  report.offsets = day.offsets;
  report.noonOffset = day.offsets[static_cast<size_t>(day.noonScan)];
  const HorizonDay sun = ScanHorizon(day, place, Horizon::kSun);
  const HorizonDay moon = ScanHorizon(day, place, Horizon::kMoon);
  report.sunrise = PickEvent(day, sun, Horizon::kSun, CrossingKind::kRise);
  report.sunset = PickEvent(day, sun, Horizon::kSun, CrossingKind::kSet);
  report.moonrise = PickEvent(day, moon, Horizon::kMoon, CrossingKind::kRise);
  report.moonset = PickEvent(day, moon, Horizon::kMoon, CrossingKind::kSet);
  report.hasTwilight = twilight;
  for (int i = 0; twilight && i < 3; ++i) {
    const Horizon horizon = kTwilightHorizons[i];
    const HorizonDay scanned = ScanHorizon(day, place, horizon);
    report.twilight[i] = {PickEvent(day, scanned, horizon, CrossingKind::kRise),
                          PickEvent(day, scanned, horizon, CrossingKind::kSet)};
  }
  // The lit fraction at the clock time asked for, read with the offset that
  // shows it (the noon offset for a skipped time), and the next phase.
  int litOffset = report.noonOffset;
  for (const int offset : day.offsets) {
    if (day.Shows(litMinutes, offset)) litOffset = offset;
  }
  const int64_t litInstant = day.midnight + int64_t{litMinutes} * 60 - litOffset;
  report.illuminated = IlluminatedAt(litInstant);
  report.litMinutes = litMinutes;
  const PhaseInstant next = NextPhase(litInstant);
  report.nextPhase = PrincipalPhaseName(next.phase);
  report.nextPhaseTime = LocalMinute(zone, next.instant) + " UTC" +
                         FormatOffset(zone.at(next.instant).value_or(ZoneState{0, ""}).offset);
  report.nextPhaseIso = IsoMinute(zone, next.instant);
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

const char* const kTwilightNames[3] = {"civil", "nautical", "astronomical"};

namespace {

// "dawn 06:35  dusk 17:41", or the message once when dawn and dusk share it.
std::string TwilightText(const DayReport::Twilight& t) {
  if (t.dawn.status != 0 && t.dawn.text == t.dusk.text) return t.dawn.text;
  return "dawn " + t.dawn.text + "  dusk " + t.dusk.text;
}

}  // namespace

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
  for (int i = 0; report.hasTwilight && i < 3; ++i) {
    const std::string name = std::string(1, static_cast<char>(kTwilightNames[i][0] - 'a' + 'A')) +
                             (kTwilightNames[i] + 1);
    text += "  " + PadRight(name, 14) + TwilightText(report.twilight[i]) + "\n";
  }
  text += "  " + PadRight("Moon age", 11) + PadRight(AgeText(report.moonAge), 11) +
          PhaseName(report.moonAge) + " (" + EnglishPhaseName(report.moonAge) + ")\n";
  char lit[64];
  std::snprintf(lit, sizeof lit, "%.1f%% lit at %02d:%02d", report.illuminated * 100,
                report.litMinutes / 60, report.litMinutes % 60);
  text += "  " + PadRight("Moon", 11) + lit + "\n";
  text += "  " + PadRight("Next phase", 11) + report.nextPhase + ", " + report.nextPhaseTime + "\n";
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
  if (report.hasTwilight) {
    nlohmann::ordered_json twilight;
    for (int i = 0; i < 3; ++i) {
      twilight[kTwilightNames[i]] = {{"dawn", EventToJson(report.date, report.twilight[i].dawn)},
                                     {"dusk", EventToJson(report.date, report.twilight[i].dusk)}};
    }
    json["twilight"] = std::move(twilight);
  }
  char at[16];
  std::snprintf(at, sizeof at, "%02d:%02d", report.litMinutes / 60, report.litMinutes % 60);
  json["moon"] = {{"age", report.moonAge},
                  {"phase", PhaseName(report.moonAge)},
                  {"phase_english", EnglishPhaseName(report.moonAge)},
                  {"illuminated", report.illuminated},
                  {"illuminated_at", at},
                  {"next_phase", {{"name", report.nextPhase}, {"time", report.nextPhaseIso}}}};
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
      << PadRight("Moonrise", 18) << PadRight("Moonset", 18);
  if (table.twilightKind >= 0) {
    const std::string kind = kTwilightNames[table.twilightKind];
    out << PadRight(kind + " dawn", 18) << PadRight(kind + " dusk", 18);
  }
  out << "Moon age\n";
  for (const DayReport& day : table.days) {
    out << FormatDate(day.date) << "  " << FormatOffset(day.noonOffset)
        << (day.offsets.size() > 1 ? "* " : "  ") << PadRight(TableCell(day.sunrise), 18)
        << PadRight(TableCell(day.sunset), 18) << PadRight(TableCell(day.moonrise), 18)
        << PadRight(TableCell(day.moonset), 18);
    if (table.twilightKind >= 0) {
      const DayReport::Twilight& t = day.twilight[table.twilightKind];
      out << PadRight(TableCell(t.dawn, true), 18) << PadRight(TableCell(t.dusk, true), 18);
    }
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
  if (table.twilightKind >= 0) {
    for (const char* name : {"dawn", "dusk"}) {
      const std::string prefix = std::string(kTwilightNames[table.twilightKind]) + "_" + name;
      out << ',' << prefix << "_text," << prefix << "_time," << prefix << "_hour," << prefix
          << "_minute," << prefix << "_azimuth," << prefix << "_status";
    }
  }
  out << ",moon_age,moon_phase\n";
  for (const DayReport& day : table.days) {
    out << FormatDate(day.date) << ',' << FormatOffset(day.noonOffset);
    std::vector<const Event*> events = {&day.sunrise, &day.sunset, &day.moonrise, &day.moonset};
    if (table.twilightKind >= 0) {
      events.push_back(&day.twilight[table.twilightKind].dawn);
      events.push_back(&day.twilight[table.twilightKind].dusk);
    }
    for (const Event* event : events) {
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
