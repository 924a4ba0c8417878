// orbel-cli day: the report of one date and place.
#include <iostream>
#include <memory>

#include "command.h"
#include "day.h"
#include "environment.h"
#include "place_options.h"
#include "render.h"
#include "values.h"

namespace orbel {

namespace {

struct DayOptions {
  std::optional<Date> date;
  int litMinutes = 12 * 60;
  PlaceOptions place;
  bool json = false;
  bool twilight = false;
};

int RunDay(const DayOptions& options) {
  const PlaceAndZone where = ResolvePlace(options.place);
  const Date date = options.date ? *options.date : Today(where.zone);
  const DayReport report = ComputeDay(date, where.place, where.zone, options.litMinutes);
  if (options.json) {
    std::cout << DayJson(report, where.zone).dump(2) << '\n';
  } else {
    std::cout << DayText(report, where.zone, options.twilight);
  }
  return 0;
}

}  // namespace

Command AddDayCommand(CLI::App& tool) {
  auto options = std::make_shared<DayOptions>();
  CLI::App* day = tool.add_subcommand("day", "Report of one date and place");
  AddValueOption(*day, "--date", options->date, ParseDate, "Date (default: today)")
      ->type_name("YYYY-MM-DD");
  AddValueOption(*day, "--at", options->litMinutes, ParseClockTime,
                 "Local clock time of the moon's lit percentage (default 12:00)")
      ->type_name("HH:MM");
  AddPlaceOptions(*day, options->place);
  day->add_flag("--json", options->json,
                "Write the report as one JSON object (twilight always included)");
  day->add_flag("--twilight", options->twilight,
                "Also civil, nautical and astronomical dawn and dusk (the sun's centre 6, 12 and "
                "18 degrees below the horizon)");
  day->footer(kPlaceAndZoneHelp);
  return {day, [options] { return RunDay(*options); }};
}

}  // namespace orbel
