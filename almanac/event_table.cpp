#include "event_table.h"

#include "moon_events.h"
#include "sun_events.h"

namespace orbel {

namespace {

const StatusTexts kRiseSetWords = {{"no rise", "no set", "down all day", "up all day"}};
const StatusTexts kTwilightWords = {{"no dawn", "no dusk", "below all day", "above all day"}};

std::vector<EventKind> MakeTable() {
  return {
      {"sun",
       {Body::kSun, kSunZenithDistance},
       false,
       nullptr,
       {"sunrise", "Sunrise", "/sunrise", "sunrise"},
       {"sunset", "Sunset", "/sunset", "sunset"},
       {{SunStatusMessage(kNoSunrise), SunStatusMessage(kNoSunset),
         SunStatusMessage(kSunDownAllDay), SunStatusMessage(kSunUpAllDay)}},
       kRiseSetWords,
       "day"},
      {"moon",
       {Body::kMoon, 0},
       false,
       nullptr,
       {"moonrise", "Moonrise", "/moonrise", "moonrise"},
       {"moonset", "Moonset", "/moonset", "moonset"},
       {{MoonStatusMessage(kNoMoonrise), MoonStatusMessage(kNoMoonset),
         MoonStatusMessage(kMoonDownAllDay), MoonStatusMessage(kMoonUpAllDay)}},
       kRiseSetWords,
       nullptr},
      {"civil",
       {Body::kSun, 96},
       true,
       "Civil",
       {"civil-dawn", "dawn", "/twilight/civil/dawn", "civil_dawn"},
       {"civil-dusk", "dusk", "/twilight/civil/dusk", "civil_dusk"},
       {{"NO CIVIL DAWN", "NO CIVIL DUSK", "SUN BELOW -6\xC2\xB0 ALL DAY",
         "SUN ABOVE -6\xC2\xB0 ALL DAY"}},
       kTwilightWords,
       "civil twilight"},
      {"nautical",
       {Body::kSun, 102},
       true,
       "Nautical",
       {"nautical-dawn", "dawn", "/twilight/nautical/dawn", "nautical_dawn"},
       {"nautical-dusk", "dusk", "/twilight/nautical/dusk", "nautical_dusk"},
       {{"NO NAUTICAL DAWN", "NO NAUTICAL DUSK", "SUN BELOW -12\xC2\xB0 ALL DAY",
         "SUN ABOVE -12\xC2\xB0 ALL DAY"}},
       kTwilightWords,
       "nautical twilight"},
      {"astronomical",
       {Body::kSun, 108},
       true,
       "Astronomical",
       {"astronomical-dawn", "dawn", "/twilight/astronomical/dawn", "astronomical_dawn"},
       {"astronomical-dusk", "dusk", "/twilight/astronomical/dusk", "astronomical_dusk"},
       {{"NO ASTRONOMICAL DAWN", "NO ASTRONOMICAL DUSK", "SUN BELOW -18\xC2\xB0 ALL DAY",
         "SUN ABOVE -18\xC2\xB0 ALL DAY"}},
       kTwilightWords,
       "astronomical twilight"},
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
