// orbel-cli wait: sleep until the next moment of an event.
#include <cmath>
#include <iostream>
#include <memory>

#include "command.h"
#include "environment.h"
#include "format.h"
#include "place_options.h"
#include "render.h"
#include "sky.h"
#include "value_hints.h"
#include "values.h"

namespace orbel {

namespace {

struct WaitOptions {
  std::optional<EventRef> event;
  int shift = 0;
  int days = 366;
  PlaceOptions place;
  bool dryRun = false;
  bool quiet = false;
};

// "sunrise, sunset, moonrise, ...".
std::string EventList() {
  std::string names;
  for (const std::string& n : EventNames()) names += (names.empty() ? "" : ", ") + n;
  return names;
}

// The event of a name of the event table.
EventRef ParseEvent(const std::string& name) {
  if (const std::optional<EventRef> event = FindEvent(name)) return *event;
  throw InputError("not an event; one of " + EventList());
}

int RunWait(const WaitOptions& options) {
  const EventRef& event = *options.event;
  const PlaceAndZone where = ResolvePlace(options.place);
  const Instant now = static_cast<Instant>(std::ceil(WallClock()));
  // The first event whose moment, event + shift, is not in the past.
  const std::optional<Occurrence> next =
      NextOccurrence(event, where.place, where.zone, now - options.shift, options.days + 1);
  if (!next || next->instant + options.shift > now + options.days * int64_t{86400}) {
    std::cerr << "orbel-cli: no " << event.Edge().name << " within " << options.days
              << (options.days == 1 ? " day" : " days") << " at "
              << FormatLatitude(where.place.latitude) << " "
              << FormatLongitude(where.place.longitude) << "\n";
    return kExitNoEvent;
  }
  const WaitMoment moment{&event.Edge(), next->instant, options.shift, now};
  if (options.dryRun) {
    std::cout << WaitLine(moment, where.zone) << '\n';
    return 0;
  }
  if (!options.quiet) {
    std::cerr << "orbel-cli: waiting until " << WaitLine(moment, where.zone) << std::endl;
  }
  SleepUntil(next->instant + options.shift);
  return 0;
}

}  // namespace

Command AddWaitCommand(CLI::App& tool) {
  auto options = std::make_shared<WaitOptions>();
  CLI::App* wait = tool.add_subcommand(
      "wait", "Sleep until the next sunrise, sunset, moonrise, moonset, dawn or dusk");
  Hint(AddValueOption(*wait, "EVENT", options->event, ParseEvent, EventList())->required(),
       Words(EventNames()));
  AddValueOption(*wait, "--offset", options->shift, ParseClockShift,
                 "Return this long before (-) or after (+) the event: -00:30, +01:15")
      ->type_name("+HH:MM");
  AddPlaceOptions(*wait, options->place);
  AddValueOption(
      *wait, "--within", options->days,
      [](const std::string& text) {
        return ParseWholeNumber(text, 1, 366, "a whole number of days from 1 to 366");
      },
      "Give up (exit status 3) when the moment is more than this many days away (default 366)")
      ->type_name("DAYS");
  wait->add_flag("--dry-run", options->dryRun, "Print the moment and return at once");
  wait->add_flag("--quiet", options->quiet,
                 "Write nothing while waiting (for cron, which mails what a job writes)");
  wait->footer(
      "Finds the next moment EVENT + --offset that is not in the past, over the days of up to a "
      "year (polar days and days with two moonrises included), writes one line on standard "
      "error saying when it will return (not with --quiet), sleeps and exits 0 then. The clock is "
      "checked every "
      "few seconds, so a clock change or a suspension does not make it oversleep. Exit status "
      "3 when no such event comes within --within days. Example, from cron at noon:\n"
      "  orbel-cli wait sunset --offset -00:30 --place berlin && switch-on-the-lights");
  return {wait, [options] { return RunWait(*options); }};
}

}  // namespace orbel
