// JSON: the day, the year's table, the phases and the sky now.
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

Json EventJson(const Date& date, const Event& event) {
  Json json;
  json["text"] = event.text;
  if (event.status != 0) {
    json["status"] = event.status;
  } else {
    json["time"] = EventIsoTime(date, event);
    json["hour"] = event.hour;
    json["minute"] = event.minute;
    json["azimuth"] = event.azimuth;
  }
  return json;
}

Json PlaceJson(const Place& place) {
  return {{"latitude", place.latitude}, {"longitude", place.longitude}, {"source", place.source}};
}

Json ZoneJson(const DayReport& report) {
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
  json["next"] = body.next != nullptr ? Json{{"event", body.next->name},
                                             {"time", InstantText(zone, body.nextInstant)}}
                                      : Json(nullptr);
  return json;
}

}  // namespace

Json DayJson(const DayReport& report, const Zone& zone, bool onRequestKinds) {
  Json json;
  json["date"] = FormatDate(report.date);
  json["place"] = PlaceJson(report.place);
  json["zone"] = ZoneJson(report);
  for (const KindDay& k : report.kinds) {
    if (k.kind->onRequest && !onRequestKinds) continue;
    json[Json::json_pointer(k.kind->rise.json)] = EventJson(report.date, k.rise);
    json[Json::json_pointer(k.kind->set.json)] = EventJson(report.date, k.set);
  }
  json["moon"] = {{"age", report.moonAge},
                  {"phase", PhaseName(report.moonAge)},
                  {"phase_english", EnglishPhaseName(report.moonAge)},
                  {"illuminated", report.illuminated},
                  {"illuminated_at",
                   fmt::format("{:02}:{:02}", report.litMinutes / 60, report.litMinutes % 60)},
                  {"next_phase",
                   {{"name", PrincipalPhaseName(report.nextPhase.phase)},
                    {"time", IsoMinute(zone, report.nextPhase.instant)}}}};
  return json;
}

Json TableJson(const YearTable& table, const Zone& zone) {
  Json json;
  json["year"] = table.year;
  json["place"] = PlaceJson(table.place);
  json["zone"] = NameOrNull(table.zoneName);
  Json days = Json::array();
  for (const DayReport& day : table.days) {
    Json entry = DayJson(day, zone, table.chosen != nullptr);
    entry.erase("place");  // the same for every day, given once above
    days.push_back(std::move(entry));
  }
  json["days"] = std::move(days);
  return json;
}

Json PhasesJson(int year, const Zone& zone, const std::vector<PhaseInstant>& phases) {
  Json list = Json::array();
  for (const PhaseInstant& p : phases) {
    list.push_back({{"phase", PrincipalPhaseName(p.phase)}, {"time", IsoMinute(zone, p.instant)}});
  }
  return {{"year", year}, {"zone", NameOrNull(zone.name)}, {"phases", list}};
}

Json SkyNowJson(const SkyNow& now, const Zone& zone) {
  Json json;
  json["time"] = InstantText(zone, now.instant);
  json["place"] = PlaceJson(now.place);
  json["sun"] = BodyNowJson(now.sun, zone);
  json["moon"] = BodyNowJson(now.moon, zone);
  json["twilight"] = now.band;
  return json;
}

}  // namespace orbel
