// orbel-cli next: the coming moments of an event, printed without waiting.
#include <cmath>
#include <filesystem>
#include <iostream>
#include <memory>

#include <fmt/format.h>

#include "command.h"
#include "environment.h"
#include "event_choice.h"
#include "format.h"
#include "render.h"
#include "value_hints.h"

namespace orbel {

namespace {

struct NextOptions {
  EventChoice choice;
  int count = 1;
  std::string format = "text";
};

// A calendar line systemd's OnCalendar= takes: the zone's own clock and its
// name for a zone of the zone database, else (a fixed offset, a POSIX rule, a
// repeated hour) UTC.
std::string SystemdCalendar(const Zone& zone, Instant t) {
  std::error_code error;
  const bool database =
      !zone.name.empty() && zone.name[0] != '/' && zone.name.find("..") == std::string::npos &&
      std::filesystem::is_regular_file(ZoneDatabaseDir() + "/" + zone.name, error);
  const bool local = database && !ClockRepeats(zone, t);
  const LocalTime l = LocalTimeAt(local ? zone : UtcZone(), t);
  return fmt::format("{} {:02}:{:02}:{:02} {}", FormatDate(l.date), l.hour, l.minute, l.second,
                     local ? zone.name : "UTC");
}

int RunNext(const NextOptions& options) {
  const ChosenEvent chosen = ChooseEvent(options.choice);
  const PlaceAndZone where = ResolvePlace(options.choice.place);
  const Instant now = static_cast<Instant>(std::ceil(WallClock()));
  Instant notBefore = now;
  for (int i = 0; i < options.count; ++i) {
    const std::optional<Occurrence> next =
        NextMoment(chosen, options.choice, where, notBefore, now);
    if (!next) return i == 0 ? kExitNoEvent : 0;
    const Instant at = next->instant + options.choice.shift;
    notBefore = at + 1;
    if (options.format == "iso") {
      std::cout << Rfc3339(where.zone, at) << '\n';
    } else if (options.format == "epoch") {
      std::cout << at << '\n';
    } else if (options.format == "systemd") {
      std::cout << SystemdCalendar(where.zone, at) << '\n';
    } else {
      std::cout << WaitLine({&chosen.event.Edge(), next->instant, options.choice.shift, now},
                            where.zone)
                << '\n';
    }
  }
  return 0;
}

}  // namespace

Command AddNextCommand(CLI::App& tool) {
  auto options = std::make_shared<NextOptions>();
  CLI::App* next =
      tool.add_subcommand("next", "Print the coming moments of an event, without waiting");
  AddEventChoice(*next, options->choice);
  AddValueOption(
      *next, "--count", options->count,
      [](const std::string& text) {
        return ParseWholeNumber(text, 1, 1000, "a whole number from 1 to 1000");
      },
      "How many moments to print (default 1)")
      ->type_name("N");
  const std::vector<std::string> formats = {"text", "iso", "epoch", "systemd"};
  Hint(next->add_option("--format", options->format,
                        "text (default), iso (RFC 3339), epoch (seconds since 1970) or systemd "
                        "(a calendar line for OnCalendar= and systemd-run --on-calendar)")
           ->check(CLI::IsMember(formats).description(""))
           ->type_name("text|iso|epoch|systemd"),
       Words(formats));
  next->footer(
      "The moments EVENT + --offset from now on, one per line, the seconds included. Exit "
      "status 3 when none comes within --within days. Examples:\n"
      "  orbel-cli next golden-hour-start --count 7 --place tromso\n"
      "  systemd-run --user --on-calendar=\"$(orbel-cli next sunset --format systemd)\" lights-on");
  return {next, [options] { return RunNext(*options); }};
}

}  // namespace orbel
