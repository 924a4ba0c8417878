// orbel-cli positions: where the sun and the moon stand, at steps between two
// moments, written row by row as they are computed, for plotting.
#include <iostream>
#include <memory>

#include <fmt/format.h>

#include "command.h"
#include "place_options.h"
#include "render.h"
#include "sky.h"
#include "values.h"

namespace orbel {

namespace {

constexpr int64_t kMaxRows = 1000000;

struct PositionsOptions {
  PlaceOptions place;
  std::optional<ClockMoment> from, to;
  int step = 600;
  bool json = false;
  bool csv = false;
};

int RunPositions(const PositionsOptions& options) {
  const PlaceAndZone where = ResolvePlace(options.place);
  const Instant from = InstantOfMoment("--from", *options.from, where.zone);
  const Instant to = InstantOfMoment("--to", *options.to, where.zone);
  if (to < from) throw InputError("--to comes before --from");
  const int64_t rows = (to - from) / options.step + 1;
  if (rows > kMaxRows) {
    throw InputError(fmt::format("that is {} rows; at most {} are written (take a longer --step)",
                                 rows, kMaxRows));
  }
  SeriesWriter writer = options.json ? PositionsJson(std::cout, where.place, where.zone)
                                     : PositionsCsv(std::cout, where.zone);
  for (int64_t i = 0; i < rows && std::cout; ++i) {
    const Instant t = from + i * options.step;
    writer.row({t, PositionAt(Body::kSun, where.place, where.zone, t),
                PositionAt(Body::kMoon, where.place, where.zone, t)});
  }
  writer.end();
  return 0;
}

}  // namespace

Command AddPositionsCommand(CLI::App& tool) {
  auto options = std::make_shared<PositionsOptions>();
  CLI::App* positions = tool.add_subcommand(
      "positions", "Altitude and azimuth of the sun and the moon at steps between two moments");
  AddPlaceOptions(*positions, options->place);
  AddValueOption(*positions, "--from", options->from, ParseMoment,
                 "The first moment, on the zone's clock or with an offset: \"2026-12-08 06:00\", "
                 "2026-12-08T06:00:00+01:00, or a date for its 00:00")
      ->type_name("TIME")
      ->required();
  AddValueOption(*positions, "--to", options->to, ParseMoment,
                 "The last moment, in the same forms; included when a step lands on it")
      ->type_name("TIME")
      ->required();
  AddValueOption(*positions, "--step", options->step, ParseStep,
                 "The step: 30s, 10m (the default), 1h, 1d")
      ->type_name("STEP");
  CLI::Option* json = positions->add_flag("--json", options->json, "Write one JSON document");
  json->excludes(positions->add_flag("--csv", options->csv, "Write CSV (the default)"));
  positions->footer(
      "One row for each step: the time with its offset, then altitude and azimuth (degrees) of "
      "the sun's and the moon's centre, geocentric and without refraction, as now gives them. "
      "Rows are written as they are computed; at most 1,000,000. Examples:\n"
      "  orbel-cli positions --place berlin --from 2026-12-08 --to 2026-12-09 --step 10m\n"
      "  orbel-cli positions --place oslo --from '2026-06-21 00:00' --to '2026-06-22 00:00' "
      "--step 1h --json");
  return {positions, [options] { return RunPositions(*options); }};
}

}  // namespace orbel
