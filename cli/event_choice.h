// The event wait and next look for: a name of the event table, or a rising
// or setting through an altitude of --altitude, with the shift of --offset,
// the place and how many days ahead to look.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "event_table.h"
#include "place_options.h"
#include "sky.h"
#include "values.h"

namespace orbel {

struct EventChoice {
  std::string name;
  std::optional<BodyAltitude> altitude;
  int shift = 0;  // seconds, negative before the event
  int days = 366;
  PlaceOptions place;
};

// Adds EVENT, --altitude, --offset, --within and the place options.
void AddEventChoice(CLI::App& command, EventChoice& choice);

// The event chosen, with the kind of an altitude of the user's that it
// refers to. Throws InputError for an unknown name, an altitude event
// without --altitude or --altitude with another event.
struct ChosenEvent {
  std::shared_ptr<const EventKind> altitudeKind;
  EventRef event;
};
ChosenEvent ChooseEvent(const EventChoice& choice);

// The first moment, event + shift, at or after `notBefore`, within the
// choice's days of `now`; nothing when none comes (after telling so on
// standard error).
std::optional<Occurrence> NextMoment(const ChosenEvent& chosen, const EventChoice& choice,
                                     const PlaceAndZone& where, Instant notBefore, Instant now);

}  // namespace orbel
