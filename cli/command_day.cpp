// orbel-cli day: the report of one date and place.
#include <iostream>
#include <memory>

#include <fmt/format.h>

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
  std::optional<BodyAltitude> altitude;
};

int RunDay(const DayOptions& options) {
  const PlaceAndZone where = ResolvePlace(options.place);
  const Date date = options.date ? *options.date : Today(where.zone);
  std::optional<EventKind> altitude;
  if (options.altitude) altitude = AltitudeKind(options.altitude->body, options.altitude->degrees);
  DayReport report = ComputeDay(date, where.place, where.zone, options.litMinutes, nullptr, true,
                                altitude ? &*altitude : nullptr);
  report.polar = PolarSpanOf(date, where.place, where.zone);
  if (options.json) {
    WriteJson(std::cout, DayJson(report, where.zone));
  } else {
    std::cout << DayText(report, where.zone, options.twilight);
  }
  return 0;
}

// What --twilight adds: "civil, nautical and astronomical dawn and dusk (the
// sun's centre 6, 12 and 18 degrees below the horizon)".
std::string OnRequestWords() {
  std::vector<const EventKind*> kinds;
  for (const EventKind& kind : EventKinds()) {
    if (kind.onRequest && !kind.inEveryDay) kinds.push_back(&kind);
  }
  std::string names, depths;
  for (size_t i = 0; i < kinds.size(); ++i) {
    const char* joint = i == 0 ? "" : i + 1 < kinds.size() ? ", " : " and ";
    names += joint + std::string(kinds[i]->key);
    depths += joint + fmt::format("{:g}", kinds[i]->circle.zenithDistance - 90);
  }
  return names + " " + kinds.front()->rise.word + " and " + kinds.front()->set.word +
         " (the sun's centre " + depths + " degrees below the horizon)";
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
  AddClockOption(*day);
  day->add_flag("--json", options->json,
                "Write the report as one JSON object (twilight always included)");
  day->add_flag("--twilight", options->twilight, "Also " + OnRequestWords());
  AddAltitudeOption(*day, options->altitude);
  day->footer(kPlaceAndZoneHelp);
  return {day, [options] { return RunDay(*options); }};
}

}  // namespace orbel
