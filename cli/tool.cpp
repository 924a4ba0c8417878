// The whole command tree of orbel-cli.
#include "command.h"
#include "help_format.h"
#include "orbel_version.h"

namespace orbel {

const char* const kPlaceAndZoneHelp =
    "The place: --lat and --lon, else --place, else the home place (orbel-cli home), else the "
    "place the orbel window saved last, "
    "else 48:44:36N 9:18:27E; the report says which. The zone: --tz, --utc-offset or --zone "
    "(one of them), else the city's zone with --place, else the system zone (TZ), with its "
    "exact offset on each date. On a day the clocks change each event is shown at the clock "
    "time in force at its instant, and a time of the repeated hour with the zone's "
    "abbreviation (02:04 CEST, 02:04 CET). Dates are those of the calendar in use: Julian up "
    "to 1582-10-04, Gregorian from 1582-10-15.";

const std::vector<std::string>& ToolExamples() {
  static const std::vector<std::string> examples = {
      "orbel-cli day --place kolkata",
      "TZ=Asia/Kolkata orbel-cli day --date 2026-12-21 --lat 28.6139 --lon 77.209",
      "orbel-cli day --lat 47.56 --lon -52.71 --utc-offset -03:30 --json",
      "orbel-cli table --year 2026 --place berlin --csv",
      "echo '21 12 2026 28.6139 77.209 -5.5' | orbel-cli batch",
      "orbel-cli phase --date 2026-12-24 --out moon.png",
      "orbel-cli day --twilight --place berlin",
      "orbel-cli wait sunset --offset -00:30 && echo lights",
      "orbel-cli is-up sun && echo day",
      "orbel-cli phases --year 2026",
  };
  return examples;
}

const char* const kExitStatusHelp =
    "0 done (is-up: the body is up); 1 rejected batch lines, output or a picture not written "
    "(is-up: down); 2 a usage error; 3 wait found no event within a year.";

std::vector<Command> BuildTool(CLI::App& tool) {
  tool.formatter(std::make_shared<HelpFormatter>());
  tool.description(
      "Orbel: local clock times and azimuths of sunrise, sunset, moonrise and moonset, and the "
      "moon's age, for one date and place. Without a command: today's report, like \"day\".");
  tool.name("orbel-cli");
  tool.set_version_flag("--version", std::string("orbel-cli ") + ORBEL_VERSION_TEXT);
  tool.require_subcommand(0, 1);
  std::string footer = "Examples:\n";
  for (const std::string& example : ToolExamples()) footer += "  " + example + "\n";
  tool.footer(footer + "Exit status: " + kExitStatusHelp);
  return {AddDayCommand(tool),    AddTableCommand(tool),     AddBatchCommand(tool),
          AddPhasesCommand(tool), AddWaitCommand(tool),      AddNextCommand(tool),
          AddNowCommand(tool),    AddPositionsCommand(tool), AddIsUpCommand(tool),
          AddPlacesCommand(tool), AddHomeCommand(tool),      AddPhaseCommand(tool)};
}

}  // namespace orbel
