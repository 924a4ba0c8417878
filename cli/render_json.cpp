// JSON: the day, the year's table, the phases and the sky now. Every document
// starts with its format version; every instant is RFC 3339 with seconds and,
// beside it, the local clock as text and the offset in force.
#include <algorithm>
#include <cmath>
#include <memory>

#include <fmt/format.h>

#include "format.h"
#include "phase_name.h"
#include "render.h"

namespace orbel {

namespace {

using Json = nlohmann::ordered_json;

Json NameOrNull(const std::string& name) {
  return name.empty() ? Json(nullptr) : Json(name);
}

// An instant with its local clock ("2026-01-03 11:03") as text.
Json InstantJson(const Zone& zone, Instant instant, const std::string& text) {
  return {{"time", Rfc3339(zone, instant)},
          {"text", text},
          {"utc_offset", FormatOffset(LocalTimeAt(zone, instant).offset)}};
}

// An instant of the sky now, to the second.
Json ExactInstantJson(const Zone& zone, Instant instant) {
  const LocalTime t = LocalTimeAt(zone, instant);
  return InstantJson(
      zone, instant,
      fmt::format("{} {:02}:{:02}:{:02}", FormatDate(t.date), t.hour, t.minute, t.second));
}

// A principal phase, to the minute.
Json PhaseJson(const Zone& zone, const PhaseInstant& p) {
  Json json = {{"phase", PrincipalPhaseName(p.phase)}};
  json.update(InstantJson(zone, RoundToMinute(p.instant), LocalMinuteText(zone, p.instant)));
  return json;
}

Json EventJson(const Event& event) {
  Json json;
  json["text"] = event.text;
  if (event.status != 0) {
    json["status"] = event.status;
  } else {
    json["time"] = Rfc3339(event.at, event.offset);
    json["utc_offset"] = FormatOffset(event.offset);
    json["hour"] = event.hour;
    json["minute"] = event.minute;
    json["azimuth"] = event.azimuth;
    if (!std::isnan(event.altitude)) json["altitude"] = event.altitude;
  }
  return json;
}

Json PlaceJson(const Place& place) {
  Json json = {
      {"latitude", place.latitude}, {"longitude", place.longitude}, {"source", place.source}};
  if (!place.note.empty()) json["note"] = place.note;
  return json;
}

Json DayZoneJson(const DayReport& report) {
  Json offsets = Json::array();
  for (const int offset : report.offsets) offsets.push_back(FormatOffset(offset));
  return {{"name", NameOrNull(report.zoneName)},
          {"utc_offset", FormatOffset(report.noonOffset)},
          {"engine_zone", EngineZone(report.noonOffset)},
          {"utc_offsets", offsets}};
}

Json BodyNowJson(const BodyNow& body, const Zone& zone) {
  Json json = {
      {"altitude", body.position.altitude}, {"azimuth", body.position.azimuth}, {"up", body.up}};
  if (body.next == nullptr) {
    json["next"] = nullptr;
  } else {
    json["next"] = {{"event", body.next->name}};
    json["next"].update(ExactInstantJson(zone, body.nextInstant));
  }
  return json;
}

// Every event of a body's kinds in the day, in time order, each named as wait
// takes it ("sunrise", "civil-dusk").
Json BodyEventsJson(const DayReport& report, Body body) {
  std::vector<std::pair<const EventEdge*, const Event*>> events;
  for (const KindDay& k : report.kinds) {
    if (k.kind->circle.body != body) continue;
    for (const auto& [edge, all] : {std::pair{&k.kind->rise, &k.rises}, {&k.kind->set, &k.sets}}) {
      for (const Event& event : *all) {
        if (event.status == 0) events.emplace_back(edge, &event);
      }
    }
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const auto& a, const auto& b) { return a.second->at < b.second->at; });
  Json list = Json::array();
  for (const auto& [edge, event] : events) {
    Json entry = {{"event", edge->name}};
    entry.update(EventJson(*event));
    list.push_back(std::move(entry));
  }
  return list;
}

// The day without the format version, as table's days carry it too.
Json DayEntry(const DayReport& report, const Zone& zone) {
  Json json;
  json["date"] = FormatDate(report.date);
  json["place"] = PlaceJson(report.place);
  json["zone"] = DayZoneJson(report);
  for (const KindDay& k : report.kinds) {
    json[Json::json_pointer(k.kind->rise.json)] = EventJson(k.Of(CrossingKind::kRise));
    json[Json::json_pointer(k.kind->set.json)] = EventJson(k.Of(CrossingKind::kSet));
    if (!k.kind->upper) continue;
    // An hour also as its intervals, null where one is under way at midnight.
    const std::string at = k.kind->rise.json.substr(0, k.kind->rise.json.rfind('/'));
    Json intervals = Json::array();
    for (const auto& [start, end] : k.Intervals()) {
      intervals.push_back({{"start", start ? EventJson(*start) : Json(nullptr)},
                           {"end", end ? EventJson(*end) : Json(nullptr)}});
    }
    json[Json::json_pointer(at + "/intervals")] = std::move(intervals);
    json[Json::json_pointer(at + "/note")] = NameOrNull(k.note);
  }
  json["sun"] = {{"events", BodyEventsJson(report, Body::kSun)}};
  if (report.dayLength) {
    json["sun"]["day_length"] = {{"seconds", *report.dayLength},
                                 {"text", DayLengthText(*report.dayLength)}};
  }
  if (report.polar) {
    json["sun"]["polar"] = {{"text", PolarText(*report.polar)},
                            {"sun_up", report.polar->sunUp},
                            {"since", FormatDate(report.polar->since)},
                            {"until", FormatDate(report.polar->until)}};
  }
  const Instant lit = report.litInstant;
  json["moon"] = {{"age", report.moonAge},
                  {"age_name", PhaseName(report.moonAge)},
                  {"age_name_english", EnglishPhaseName(report.moonAge)},
                  {"illuminated", report.illuminated},
                  {"illuminated_at", Rfc3339(zone, lit)},
                  {"next_phase", PhaseJson(zone, report.nextPhase.value())},
                  {"events", BodyEventsJson(report, Body::kMoon)}};
  return json;
}

}  // namespace

void WriteJson(std::ostream& out, const Json& json) {
  out << json.dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
}

Json DayJson(const DayReport& report, const Zone& zone) {
  Json json = {{"format_version", kJsonFormatVersion}};
  json.update(DayEntry(report, zone));
  return json;
}

Json TableJson(const YearTable& table, const Zone& zone) {
  Json json = {{"format_version", kJsonFormatVersion}};
  if (table.range) {
    json["from"] = FormatDate(table.range->first);
    json["to"] = FormatDate(table.range->second);
  } else {
    json["year"] = table.year;
  }
  json["place"] = PlaceJson(table.place);
  json["zone"] = {{"name", NameOrNull(table.zoneName)}};
  Json days = Json::array();
  for (const DayReport& day : table.days) {
    Json entry = DayEntry(day, zone);
    entry.erase("place");  // the same for every day, given once above
    days.push_back(std::move(entry));
  }
  json["days"] = std::move(days);
  Json skipped = Json::array();
  for (const Date& date : table.skipped) skipped.push_back(FormatDate(date));
  json["skipped"] = std::move(skipped);
  return json;
}

Json PhasesJson(int year, const Zone& zone, const std::vector<PhaseInstant>& phases) {
  Json list = Json::array();
  for (const PhaseInstant& p : phases) list.push_back(PhaseJson(zone, p));
  return {{"format_version", kJsonFormatVersion},
          {"year", year},
          {"zone", {{"name", NameOrNull(zone.name)}}},
          {"phases", list}};
}

Json SkyNowJson(const SkyNow& now, const Zone& zone) {
  Json json = {{"format_version", kJsonFormatVersion}};
  json.update(ExactInstantJson(zone, now.instant));
  json["place"] = PlaceJson(now.place);
  json["zone"] = {{"name", NameOrNull(zone.name)}};
  json["sun"] = BodyNowJson(now.sun, zone);
  json["moon"] = BodyNowJson(now.moon, zone);
  json["twilight"] = now.band;
  return json;
}

SeriesWriter PositionsJson(std::ostream& out, const Place& place, const Zone& zone) {
  const Json head = {{"format_version", kJsonFormatVersion},
                     {"place", PlaceJson(place)},
                     {"zone", {{"name", NameOrNull(zone.name)}}},
                     {"positions", Json::array()}};
  std::string text = head.dump(2, ' ', false, Json::error_handler_t::replace);
  text.erase(text.rfind('['));  // the empty array and the close, written as the rows come
  out << text << '[';
  auto first = std::make_shared<bool>(true);
  return {[&out, &zone, first](const PositionRow& r) {
            const Json row = {
                {"time", Rfc3339(zone, r.instant)},
                {"sun", {{"altitude", r.sun.altitude}, {"azimuth", r.sun.azimuth}}},
                {"moon", {{"altitude", r.moon.altitude}, {"azimuth", r.moon.azimuth}}}};
            out << (*first ? "\n    " : ",\n    ") << row.dump();
            *first = false;
          },
          [&out, first] { out << (*first ? "]\n}\n" : "\n  ]\n}\n"); }};
}

}  // namespace orbel
