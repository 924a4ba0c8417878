#include "event_table.h"

#include <cctype>

#include <fmt/format.h>

#include "moon_events.h"
#include "sun_events.h"

namespace orbel {

namespace {

const StatusTexts kRiseSetWords = {{"no rise", "no set", "down all day", "up all day"}};
const StatusTexts kTwilightWords = {{"no dawn", "no dusk", "below all day", "above all day"}};

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// A twilight: the sun's centre `depth` degrees below the horizon, crossed at
// dawn and at dusk.
EventKind Twilight(const std::string& key, int depth) {
  const std::string upper = Upper(key);
  std::string title = key;
  title[0] = upper[0];
  const std::string below = AllDayMessage(Body::kSun, -depth, false);
  const std::string above = AllDayMessage(Body::kSun, -depth, true);
  return {key,
          {Body::kSun, 90.0 + depth},
          true,
          false,
          title,
          {key + "-dawn", "dawn", "/twilight/" + key + "/dawn", key + "_dawn"},
          {key + "-dusk", "dusk", "/twilight/" + key + "/dusk", key + "_dusk"},
          {{"NO " + upper + " DAWN", "NO " + upper + " DUSK", below, above}},
          kTwilightWords,
          key + " twilight"};
}

// A body's rise and set on its own horizon: "sunrise" and "sunset" with the
// engine's messages for its status codes (no rise, no set, down, up all day).
EventKind RiseAndSet(const std::string& body, Circle circle, const char* (*message)(int),
                     const int (&codes)[4], const std::string& band) {
  std::string word = body;
  word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
  return {body,
          circle,
          false,
          true,
          "",
          {body + "rise", word + "rise", "/" + body + "rise", body + "rise"},
          {body + "set", word + "set", "/" + body + "set", body + "set"},
          {{message(codes[0]), message(codes[1]), message(codes[2]), message(codes[3])}},
          kRiseSetWords,
          band};
}

// A body's upper and lower transit of the meridian: the sun's solar noon and
// solar midnight, the moon's upper and lower transit, each with its altitude. Shown by every
// day's report, and by table when chosen.
EventKind Transits(const std::string& key, Body body, const EventEdge& upper,
                   const EventEdge& lower, const std::string& noUpper, const std::string& noLower) {
  return {key,
          {body, 0, true},
          true,
          true,
          "",
          upper,
          lower,
          {{noUpper, noLower, "", ""}},
          {{"none", "none", "", ""}},
          ""};
}

// A photographers' hour: the sun's centre between `low` and `high` degrees,
// in the morning and in the evening, each from its start to its end.
EventKind Hour(const std::string& name, double low, double high) {
  const std::string key = name + "-hour", csv = name + "_hour";
  std::string title = name + " hour";
  title[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(title[0])));
  return {key,
          {Body::kSun, 90 - low},
          true,
          true,
          title,
          {key + "-start", "start", "/" + csv + "/start", csv + "_start"},
          {key + "-end", "end", "/" + csv + "/end", csv + "_end"},
          {{"NO " + Upper(title) + " START", "NO " + Upper(title) + " END",
            AllDayMessage(Body::kSun, low, false), AllDayMessage(Body::kSun, high, true)}},
          {{"no start", "no end", "below all day", "above all day"}},
          "",
          Circle{Body::kSun, 90 - high}};
}

// The rows, in the order the reports list them.
std::vector<EventKind> MakeTable() {
  static const int kSunCodes[4] = {kNoSunrise, kNoSunset, kSunDownAllDay, kSunUpAllDay};
  static const int kMoonCodes[4] = {kNoMoonrise, kNoMoonset, kMoonDownAllDay, kMoonUpAllDay};
  return {
      RiseAndSet("sun", {Body::kSun, kSunZenithDistance}, SunStatusMessage, kSunCodes, "day"),
      Transits("noon", Body::kSun, {"noon", "Noon", "/noon", "noon"},
               {"solar-midnight", "Midnight", "/solar_midnight", "solar_midnight"}, "NO SOLAR NOON",
               "NO SOLAR MIDNIGHT"),
      RiseAndSet("moon", {Body::kMoon, 0}, MoonStatusMessage, kMoonCodes, ""),
      Transits("moon-transit", Body::kMoon, {"moon-high", "Moon high", "/moon_high", "moon_high"},
               {"moon-low", "Moon low", "/moon_low", "moon_low"}, "NO MOON TRANSIT",
               "NO LOWER MOON TRANSIT"),
      Hour("golden", -4, 6),
      Hour("blue", -6, -4),
      Twilight("civil", 6),
      Twilight("nautical", 12),
      Twilight("astronomical", 18),
  };
}

}  // namespace

const std::vector<EventKind>& EventKinds() {
  static const std::vector<EventKind> kinds = MakeTable();
  return kinds;
}

const EventKind& RiseAndSetOf(Body body) {
  for (const EventKind& kind : EventKinds()) {
    if (kind.circle.body == body && !kind.onRequest) return kind;
  }
  return EventKinds().front();
}

std::optional<EventRef> FindEvent(std::string_view name) {
  for (const EventKind& kind : EventKinds()) {
    if (name == kind.rise.name) return EventRef{&kind, CrossingKind::kRise};
    if (name == kind.set.name) return EventRef{&kind, CrossingKind::kSet};
  }
  return std::nullopt;
}

std::vector<std::string> EventNames() {
  std::vector<std::string> names;
  for (const EventKind& kind : EventKinds()) {
    names.push_back(kind.rise.name);
    names.push_back(kind.set.name);
  }
  return names;
}

std::vector<std::string> OnRequestKeys() {
  std::vector<std::string> keys;
  for (const EventKind& kind : EventKinds()) {
    if (kind.onRequest) keys.push_back(kind.key);
  }
  return keys;
}

std::string AllDayMessage(Body body, double altitude, bool above) {
  return fmt::format("{} {} {:g}\u00b0 ALL DAY", body == Body::kSun ? "SUN" : "MOON",
                     above ? "ABOVE" : "BELOW", altitude);
}

EventKind AltitudeKind(Body body, double altitude) {
  const std::string name = body == Body::kSun ? "sun" : "moon";
  const std::string upper = Upper(name);
  const std::string degrees = fmt::format("{:g}\u00b0", altitude);
  std::string title = name + " at " + degrees;
  title[0] = upper[0];
  return {
      "altitude",
      {body, 90 - altitude, false, body == Body::kMoon},
      true,
      true,
      title,
      {name + "-rising", "rising", "/altitude/rising", "altitude_rising"},
      {name + "-setting", "setting", "/altitude/setting", "altitude_setting"},
      {{"NO " + upper + " RISING THROUGH " + degrees, "NO " + upper + " SETTING THROUGH " + degrees,
        AllDayMessage(body, altitude, false), AllDayMessage(body, altitude, true)}},
      {{"no rising", "no setting", "below all day", "above all day"}},
      ""};
}

std::optional<Body> AltitudeEventBody(std::string_view name) {
  if (name == "sun-rising" || name == "sun-setting") return Body::kSun;
  if (name == "moon-rising" || name == "moon-setting") return Body::kMoon;
  return std::nullopt;
}

StatusKind StatusKindOf(int code) {
  switch (code) {
    case kNoSunrise:
    case kNoMoonrise:
      return kNoRiseStatus;
    case kNoSunset:
    case kNoMoonset:
      return kNoSetStatus;
    case kSunDownAllDay:
    case kMoonDownAllDay:
      return kDownAllDayStatus;
    default:
      return kUpAllDayStatus;
  }
}

}  // namespace orbel
