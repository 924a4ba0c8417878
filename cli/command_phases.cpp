// orbel-cli phases: the principal moon phases of a year.
#include <iostream>
#include <memory>

#include "command.h"
#include "environment.h"
#include "phases.h"
#include "place_options.h"
#include "render.h"
#include "time/civil_day.h"
#include "values.h"

namespace orbel {

namespace {

// Every principal phase of a year of the zone's calendar days.
int RunPhases(const YearOptions& options) {
  const PlaceAndZone where = ResolvePlace(options.place);
  const int year = options.year ? *options.year : Today(where.zone).year;
  const Instant from = MakeCivilDay({year, 1, 1}, where.zone).start;
  const Instant to = year < kMaxYear ? MakeCivilDay({year + 1, 1, 1}, where.zone).start
                                     : MakeCivilDay({year, 12, 31}, where.zone).end;
  const std::vector<PhaseInstant> phases = PhasesBetween(from, to);
  if (options.json) {
    WriteJson(std::cout, PhasesJson(year, where.zone, phases));
  } else if (options.csv) {
    WritePhasesCsv(std::cout, where.zone, phases);
  } else {
    WritePhasesText(std::cout, year, where.zone, phases);
  }
  return 0;
}

}  // namespace

Command AddPhasesCommand(CLI::App& tool) {
  auto options = std::make_shared<YearOptions>();
  CLI::App* phases =
      tool.add_subcommand("phases", "Every new moon, quarter and full moon of a year");
  AddYearOption(*phases, *options);
  AddZoneOptions(*phases, options->place);
  AddClockOption(*phases);
  AddFormatOptions(*phases, *options, "Write CSV");
  phases->footer(
      "The instants when the moon's ecliptic longitude is 0, 90, 180 and 270 degrees from the "
      "sun's, from the engine's own series, on the zone's clock; dates in the calendar in use. "
      "--place chooses the zone of its city. Example:\n"
      "  orbel-cli phases --year 2026 --tz Europe/Berlin");
  return {phases, [options] { return RunPhases(*options); }};
}

}  // namespace orbel
