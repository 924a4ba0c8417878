#include "report.h"

#include <charconv>
#include <cstdio>

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
Event EventOf(const EventSlot& slot, const char* (*statusMessage)(int)) {
  Event event{};
  TextBuffer text;
  FormatEventText(slot, statusMessage, text);
  event.text = text;
  event.status = slot.status;
  if (slot.status == 0) {
    event.hour = slot.hour;
    event.minute = slot.minute;
    event.azimuth = slot.azimuth;
  }
  return event;
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

std::string ZoneTitle(int zone) {
  return "zone " + std::to_string(zone) + " (" + FormatUtcOffset(zone) + ")";
}

std::string PlaceTitle(const Place& place) {
  return FormatLatitude(place.latitude) + " " + FormatLongitude(place.longitude);
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

nlohmann::ordered_json EventToJson(const Event& event) {
  nlohmann::ordered_json json;
  json["text"] = event.text;
  if (event.status != 0) {
    json["status"] = event.status;
  } else {
    json["hour"] = event.hour;
    json["minute"] = event.minute;
    json["azimuth"] = event.azimuth;
  }
  return json;
}

nlohmann::ordered_json PlaceToJson(const Place& place) {
  return {{"latitude", place.latitude}, {"longitude", place.longitude}};
}

}  // namespace

DayReport ComputeDay(const Date& date, const Place& place, int zone) {
  const DayQuery query{static_cast<uint32_t>(date.day),
                       static_cast<uint32_t>(date.month),
                       static_cast<uint32_t>(date.year),
                       place.latitude,
                       place.longitude,
                       static_cast<double>(zone)};
  const BodyDay sun = SunDay(query);
  const BodyDay moon = MoonDay(query);
  DayReport report{};
  report.date = date;
  report.place = place;
  report.zone = zone;
  report.sunrise = EventOf(sun.rise, SunStatusMessage);
  report.sunset = EventOf(sun.set, SunStatusMessage);
  report.moonrise = EventOf(moon.rise, MoonStatusMessage);
  report.moonset = EventOf(moon.set, MoonStatusMessage);
  report.moonAge = MoonAge(static_cast<uint8_t>(date.day), static_cast<uint8_t>(date.month),
                           static_cast<uint32_t>(date.year));
  return report;
}

std::string FormatDayText(const DayReport& report) {
  std::string text = "Orbel report for " + FormatDate(report.date) + " at " +
                     PlaceTitle(report.place) + ", " + ZoneTitle(report.zone) + "\n";
  const auto line = [&text](const char* label, const Event& event) {
    text += "  " + PadRight(label, 11);
    if (event.status != 0) {
      text += event.text + "\n";
    } else {
      text += PadRight(event.text, 8) + "azimuth " + Degrees(event.azimuth, 0) + "\n";
    }
  };
  line("Sunrise", report.sunrise);
  line("Sunset", report.sunset);
  line("Moonrise", report.moonrise);
  line("Moonset", report.moonset);
  text += "  " + PadRight("Moon age", 11) + PadRight(AgeText(report.moonAge), 8) +
          PhaseName(report.moonAge) + "\n";
  return text;
}

nlohmann::ordered_json DayToJson(const DayReport& report) {
  nlohmann::ordered_json json;
  json["date"] = FormatDate(report.date);
  json["place"] = PlaceToJson(report.place);
  json["zone"] = report.zone;
  json["sunrise"] = EventToJson(report.sunrise);
  json["sunset"] = EventToJson(report.sunset);
  json["moonrise"] = EventToJson(report.moonrise);
  json["moonset"] = EventToJson(report.moonset);
  json["moon"] = {{"age", report.moonAge}, {"phase", PhaseName(report.moonAge)}};
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
      << (table.fixedZone ? ZoneTitle(*table.fixedZone) : "zone of the system time zone per date")
      << "\n";
  out << "Date        Zone  " << PadRight("Sunrise", 14) << PadRight("Sunset", 14)
      << PadRight("Moonrise", 14) << PadRight("Moonset", 14) << "Moon age\n";
  for (const DayReport& day : table.days) {
    char zone[16];
    std::snprintf(zone, sizeof zone, "%4d  ", day.zone);
    out << FormatDate(day.date) << "  " << zone << PadRight(TableCell(day.sunrise), 14)
        << PadRight(TableCell(day.sunset), 14) << PadRight(TableCell(day.moonrise), 14)
        << PadRight(TableCell(day.moonset), 14);
    char age[16];
    std::snprintf(age, sizeof age, "%2d ", static_cast<int>(day.moonAge));
    out << age << PhaseName(day.moonAge) << "\n";
  }
}

void WriteTableCsv(std::ostream& out, const Table& table) {
  out << "date,zone";
  for (const char* name : {"sunrise", "sunset", "moonrise", "moonset"}) {
    out << ',' << name << "_text," << name << "_hour," << name << "_minute," << name << "_azimuth,"
        << name << "_status";
  }
  out << ",moon_age,moon_phase\n";
  for (const DayReport& day : table.days) {
    out << FormatDate(day.date) << ',' << day.zone;
    for (const Event* event : {&day.sunrise, &day.sunset, &day.moonrise, &day.moonset}) {
      out << ',' << CsvField(event->text) << ',';
      if (event->status == 0) {
        out << event->hour << ',' << event->minute << ',' << ShortestDouble(event->azimuth);
      } else {
        out << ",,";
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
  json["zone"] = table.fixedZone ? nlohmann::ordered_json(*table.fixedZone) : nullptr;
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
