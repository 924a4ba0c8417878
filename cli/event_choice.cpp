#include "event_choice.h"

#include <iostream>

#include "close_names.h"
#include "format.h"
#include "value_hints.h"

namespace orbel {

namespace {

const char* const kAltitudeEvents[] = {"sun-rising", "sun-setting", "moon-rising", "moon-setting"};

std::vector<std::string> AllEventNames() {
  std::vector<std::string> names = EventNames();
  names.insert(names.end(), std::begin(kAltitudeEvents), std::end(kAltitudeEvents));
  return names;
}

// "sunrise, sunset, moonrise, ...".
std::string EventList() {
  std::string names;
  for (const std::string& n : AllEventNames()) names += (names.empty() ? "" : ", ") + n;
  return names;
}

}  // namespace

void AddEventChoice(CLI::App& command, EventChoice& choice) {
  Hint(command.add_option("EVENT", choice.name, EventList())->required(), Words(AllEventNames()));
  AddAltitudeOption(command, choice.altitude);
  AddValueOption(command, "--offset", choice.shift, ParseClockShift,
                 "This long before (-) or after (+) the event: -00:30, +01:15")
      ->type_name("+HH:MM");
  AddPlaceOptions(command, choice.place);
  AddClockOption(command);
  AddValueOption(
      command, "--within", choice.days,
      [](const std::string& text) {
        return ParseWholeNumber(text, 1, 366, "a whole number of days from 1 to 366");
      },
      "Give up (exit status 3) when the moment is more than this many days away (default 366)")
      ->type_name("DAYS");
}

ChosenEvent ChooseEvent(const EventChoice& choice) {
  const std::optional<Body> body = AltitudeEventBody(choice.name);
  if (body) {
    if (!choice.altitude) {
      throw InputError(choice.name + " needs --altitude: " + choice.name + " --altitude " +
                       (*body == Body::kSun ? "10" : "moon:5"));
    }
    if (choice.altitude->body != *body) {
      throw InputError(choice.name + " takes an altitude of the " +
                       (*body == Body::kSun ? "sun: --altitude 10" : "moon: --altitude moon:5"));
    }
    auto kind = std::make_shared<const EventKind>(AltitudeKind(*body, choice.altitude->degrees));
    const bool rising = choice.name.find("rising") != std::string::npos;
    const EventRef event{kind.get(), rising ? CrossingKind::kRise : CrossingKind::kSet};
    return {kind, event};
  }
  const std::optional<EventRef> event = FindEvent(choice.name);
  if (!event) {
    const std::vector<std::string> names = AllEventNames();
    std::string close;
    for (const size_t i : CloseNames(choice.name, names, 4)) {
      close += (close.empty() ? "" : ", ") + names[i];
    }
    throw InputError("invalid EVENT " + Quoted(choice.name) + ": not an event" +
                     (close.empty() ? "" : "; close names: " + close) + " (--help lists them)");
  }
  if (choice.altitude) {
    throw InputError("--altitude goes with sun-rising, sun-setting, moon-rising or moon-setting");
  }
  return {nullptr, *event};
}

std::optional<Occurrence> NextMoment(const ChosenEvent& chosen, const EventChoice& choice,
                                     const PlaceAndZone& where, Instant notBefore, Instant now) {
  const std::optional<Occurrence> next = NextOccurrence(chosen.event, where.place, where.zone,
                                                        notBefore - choice.shift, choice.days + 1);
  if (next && next->instant + choice.shift <= now + choice.days * int64_t{86400}) return next;
  std::cerr << "orbel-cli: no " << chosen.event.Edge().name << " within " << choice.days
            << (choice.days == 1 ? " day" : " days") << " at "
            << FormatLatitude(where.place.latitude) << " " << FormatLongitude(where.place.longitude)
            << "\n";
  return std::nullopt;
}

}  // namespace orbel
