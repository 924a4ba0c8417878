// orbel-cli now and is-up: where the sun and the moon stand at this moment.
#include <iostream>
#include <memory>

#include "command.h"
#include "environment.h"
#include "place_options.h"
#include "render.h"
#include "sky.h"
#include "value_hints.h"
#include "values.h"

namespace orbel {

namespace {

// Where a body stands now, whether it is up, and its next rise or set.
BodyNow BodyAt(Body body, const PlaceAndZone& where, Instant now) {
  const EventKind& kind = RiseAndSetOf(body);
  BodyNow result{PositionAt(body, where.place, where.zone, now),
                 IsUp(kind.circle, where.place, where.zone, now), nullptr, 0};
  for (const CrossingKind direction : {CrossingKind::kRise, CrossingKind::kSet}) {
    const EventRef event{&kind, direction};
    const std::optional<Occurrence> o = NextOccurrence(event, where.place, where.zone, now + 1);
    if (o && (result.next == nullptr || o->instant < result.nextInstant)) {
      result.next = &event.Edge();
      result.nextInstant = o->instant;
    }
  }
  return result;
}

struct NowOptions {
  PlaceOptions place;
  std::optional<ClockMoment> at;
  bool json = false;
};

int RunNow(const NowOptions& options) {
  const PlaceAndZone where = ResolvePlace(options.place);
  const Instant now = options.at ? InstantOfMoment("--at", *options.at, where.zone) : Now();
  const SkyNow sky{now, where.place, BodyAt(Body::kSun, where, now),
                   BodyAt(Body::kMoon, where, now), SunBand(where.place, where.zone, now)};
  if (options.json) {
    WriteJson(std::cout, SkyNowJson(sky, where.zone));
  } else {
    std::cout << SkyNowText(sky, where.zone);
  }
  return 0;
}

struct IsUpOptions {
  PlaceOptions place;
  std::string body;
  std::optional<double> above;
};

}  // namespace

Command AddNowCommand(CLI::App& tool) {
  auto options = std::make_shared<NowOptions>();
  CLI::App* now = tool.add_subcommand(
      "now", "Where the sun and the moon stand now, whether they are up, and their next event");
  AddPlaceOptions(*now, options->place);
  AddClockOption(*now);
  AddValueOption(*now, "--at", options->at, ParseMoment,
                 "Another moment, on the zone's clock (the first of a repeated hour) or with an "
                 "offset: \"2026-12-08 15:54\", 2026-12-08T15:54:00+01:00")
      ->type_name("TIME");
  now->add_flag("--json", options->json, "Write one JSON object");
  now->footer(
      "Altitude and azimuth of the centre (geocentric, without refraction). Up or down comes "
      "from the same day scans as the printed rise and set times. Example:\n"
      "  orbel-cli now --place kolkata\n  orbel-cli now --place berlin --at '2026-12-24 16:00'");
  return {now, [options] { return RunNow(*options); }};
}

Command AddIsUpCommand(CLI::App& tool) {
  auto options = std::make_shared<IsUpOptions>();
  CLI::App* isUp = tool.add_subcommand("is-up", "Exit 0 when the sun or the moon is up, 1 if not");
  Hint(isUp->add_option("BODY", options->body, "sun or moon")
           ->required()
           ->check(CLI::IsMember({"sun", "moon"}).description("")),
       Words({"sun", "moon"}));
  AddPlaceOptions(*isUp, options->place);
  AddValueOption(
      *isUp, "--above", options->above,
      [](const std::string& text) {
        const BodyAltitude altitude = ParseAltitude(text);
        if (text.find(':') != std::string::npos) throw InputError("expected degrees: 10, -6");
        return altitude.degrees;
      },
      "Whether the centre stands above this altitude instead (degrees; the moon's seen from the "
      "surface; no refraction): -6 is civil twilight or brighter")
      ->type_name("DEG");
  isUp->footer(
      "Prints nothing. Up is after a rise and before the next set of the same day scans as the "
      "printed times. Examples:\n  if orbel-cli is-up sun --place berlin; then ...; fi\n"
      "  orbel-cli is-up sun --above -6 --place oslo || lights-on");
  return {isUp, [options] {
            const PlaceAndZone where = ResolvePlace(options->place);
            const Body body = options->body == "moon" ? Body::kMoon : Body::kSun;
            const Circle circle = options->above ? AltitudeKind(body, *options->above).circle
                                                 : RiseAndSetOf(body).circle;
            return IsUp(circle, where.place, where.zone, Now()) ? 0 : 1;
          }};
}

}  // namespace orbel
