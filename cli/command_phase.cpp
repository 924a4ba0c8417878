// orbel-cli phase: the moon-phase picture as an image file.
#include <iostream>
#include <memory>

#include "calendar.h"
#include "command.h"
#include "moon_age.h"
#include "options.h"
#include "phase.h"
#include "value_hints.h"
#include "values.h"

namespace orbel {

namespace {

struct PhaseOptions {
  std::optional<int> age;
  std::optional<Date> date;
  int radius = kFrameRadius;
  std::string out;
};

int RunPhase(const PhaseOptions& options) {
  if (!options.age && !options.date) {
    throw InputError("phase needs --age or --date (see orbel-cli phase --help)");
  }
  const int32_t age = options.age ? *options.age
                                  : MoonAge(static_cast<uint8_t>(options.date->day),
                                            static_cast<uint8_t>(options.date->month),
                                            static_cast<uint32_t>(options.date->year));
  WritePhasePicture(age, options.radius, options.out);  // a failed write exits 1
  return 0;
}

}  // namespace

Command AddPhaseCommand(CLI::App& tool) {
  auto options = std::make_shared<PhaseOptions>();
  CLI::App* phase = tool.add_subcommand("phase", "The moon-phase picture as an image file");
  const std::string ages = "a whole number of days from 0 to " + std::to_string(kMaxMoonAge);
  CLI::Option* age =
      AddValueOption(
          *phase, "--age", options->age,
          [ages](const std::string& text) { return ParseWholeNumber(text, 0, kMaxMoonAge, ages); },
          "Moon age in days, 0 to 30")
          ->type_name("DAYS");
  CLI::Option* date =
      AddValueOption(*phase, "--date", options->date, ParseDate, "Date whose moon age to draw")
          ->type_name("YYYY-MM-DD");
  age->excludes(date);
  const std::string radii = "a radius from 1 to " + std::to_string(kMaxRadius);
  AddValueOption(
      *phase, "--radius", options->radius,
      [radii](const std::string& text) { return ParseWholeNumber(text, 1, kMaxRadius, radii); },
      "Radius in pixels (default " + std::to_string(kFrameRadius) + ", as in the dialog's frame)")
      ->type_name("PIXELS");
  Hint(phase->add_option("--out", options->out, "Output file, .png or .ppm")
           ->type_name("FILE")
           ->required(),
       Files("png|ppm"));
  phase->footer("Give exactly one of --age and --date.");
  return {phase, [options] { return RunPhase(*options); }};
}

}  // namespace orbel
