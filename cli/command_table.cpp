// orbel-cli table: every day of a year, one line per day.
#include <iostream>
#include <memory>

#include "command.h"
#include "environment.h"
#include "place_options.h"
#include "render.h"
#include "value_hints.h"
#include "values.h"

namespace orbel {

namespace {

struct TableOptions : YearOptions {
  std::string twilight;
  std::optional<BodyAltitude> altitude;
};

int RunTable(const TableOptions& options) {
  const PlaceAndZone where = ResolvePlace(options.place);
  YearTable table{options.year ? *options.year : Today(where.zone).year,
                  where.place,
                  where.zone.name,
                  nullptr,
                  {},
                  {}};
  for (const EventKind& kind : EventKinds()) {
    if (kind.onRequest && options.twilight == kind.key) table.chosen = &kind;
  }
  std::optional<EventKind> altitude;
  if (options.altitude) {
    altitude = AltitudeKind(options.altitude->body, options.altitude->degrees);
    table.altitude = &*altitude;
  }
  // JSON carries every kind and the moon's next phase; text and CSV only the
  // kinds of their columns.
  YearDays year = ComputeYear(
      table.year, table.place, where.zone,
      [&](const EventKind& kind) { return options.json || table.Shows(kind); }, options.json,
      table.altitude);
  table.days = std::move(year.days);
  table.skipped = year.skipped;
  if (!year.skipped.empty()) {
    std::string dates;
    for (const Date& date : year.skipped) dates += (dates.empty() ? "" : ", ") + FormatDate(date);
    std::cerr << "orbel-cli: " << Printable(where.zone.name, 40) << " skipped " << dates
              << "; the table leaves " << (year.skipped.size() == 1 ? "it" : "them") << " out\n";
  }
  if (options.json) {
    WriteJson(std::cout, TableJson(table, where.zone));
  } else if (options.csv) {
    WriteTableCsv(std::cout, table);
  } else {
    WriteTableText(std::cout, table);
  }
  return 0;
}

// "civil|nautical|astronomical".
std::string Alternatives(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : "|") + name;
  return text;
}

}  // namespace

Command AddTableCommand(CLI::App& tool) {
  auto options = std::make_shared<TableOptions>();
  CLI::App* table = tool.add_subcommand("table", "Every day of a year, one line per day");
  AddYearOption(*table, *options);
  AddPlaceOptions(*table, options->place);
  AddFormatOptions(*table, *options, "Write CSV with a header row");
  Hint(table
           ->add_option("--twilight", options->twilight,
                        "Add the dawn and dusk of this twilight as two more columns")
           ->check(CLI::IsMember(OnRequestKeys()).description(""))
           ->type_name(Alternatives(OnRequestKeys())),
       Words(OnRequestKeys()));
  AddAltitudeOption(*table, options->altitude);
  table->footer(kPlaceAndZoneHelp);
  return {table, [options] { return RunTable(*options); }};
}

}  // namespace orbel
