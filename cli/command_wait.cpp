// orbel-cli wait: sleep until the next moment of an event.
#include <cmath>
#include <iostream>
#include <memory>

#include "command.h"
#include "environment.h"
#include "event_choice.h"
#include "render.h"

namespace orbel {

namespace {

struct WaitOptions {
  EventChoice choice;
  int graceMinutes = 0;
  bool dryRun = false;
  bool quiet = false;
};

int RunWait(const WaitOptions& options) {
  const ChosenEvent chosen = ChooseEvent(options.choice);
  const PlaceAndZone where = ResolvePlace(options.choice.place);
  const Instant now = static_cast<Instant>(std::ceil(WallClock()));
  // The first moment, event + shift, not in the past, or, with --grace, one
  // that passed less than that long ago.
  const std::optional<Occurrence> next =
      NextMoment(chosen, options.choice, where, now - options.graceMinutes * 60, now);
  if (!next) return kExitNoEvent;
  const WaitMoment moment{&chosen.event.Edge(), next->instant, options.choice.shift, now};
  if (options.dryRun) {
    std::cout << WaitLine(moment, where.zone) << '\n';
    return 0;
  }
  if (!options.quiet) {
    std::cerr << "orbel-cli: "
              << (next->instant + moment.shift < now ? "late for " : "waiting until ")
              << WaitLine(moment, where.zone) << std::endl;
  }
  SleepUntil(next->instant + moment.shift);
  return 0;
}

}  // namespace

Command AddWaitCommand(CLI::App& tool) {
  auto options = std::make_shared<WaitOptions>();
  CLI::App* wait = tool.add_subcommand(
      "wait", "Sleep until the next sunrise, sunset, moonrise, moonset, dawn or dusk");
  AddEventChoice(*wait, options->choice);
  AddValueOption(
      *wait, "--grace", options->graceMinutes,
      [](const std::string& text) {
        return ParseWholeNumber(text, 0, 1440, "a whole number of minutes from 0 to 1440");
      },
      "Return at once when the moment passed less than this many minutes ago (a machine that "
      "woke late), instead of waiting for the next one")
      ->type_name("MIN");
  wait->add_flag("--dry-run", options->dryRun, "Print the moment and return at once");
  wait->add_flag("--quiet", options->quiet,
                 "Write nothing while waiting (for cron, which mails what a job writes)");
  wait->footer(
      "Finds the next moment EVENT + --offset that is not in the past, over the days of up to a "
      "year (polar days and days with two moonrises included), writes one line on standard "
      "error saying when it will return (not with --quiet), sleeps and exits 0 then. The clock is "
      "checked every "
      "few seconds, so a clock change or a suspension does not make it oversleep. Exit status "
      "3 when no such event comes within --within days. Examples, from cron:\n"
      "  orbel-cli wait sunset --offset -00:30 --place berlin && switch-on-the-lights\n"
      "  orbel-cli wait sun-setting --altitude 6 --grace 10 --place \"sao paulo\" && shoot");
  return {wait, [options] { return RunWait(*options); }};
}

}  // namespace orbel
