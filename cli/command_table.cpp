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

// A table of more days is better asked for a year at a time.
constexpr int64_t kMaxDays = 3660;

struct TableOptions : YearOptions {
  std::string twilight;
  std::optional<BodyAltitude> altitude;
  std::optional<Date> month, from, to;
};

int RunTable(const TableOptions& options) {
  const PlaceAndZone where = ResolvePlace(options.place);
  YearTable table{options.year ? *options.year : Today(where.zone).year,
                  where.place,
                  where.zone.name,
                  nullptr,
                  {},
                  {}};
  if (options.month) {
    const Date& first = *options.month;
    table.range = {first, Date{first.year, first.month, DaysInMonth(first.year, first.month)}};
  } else if (options.from || options.to) {
    if (!options.from || !options.to) throw InputError("--from and --to go together");
    if (DayNumber(*options.to) < DayNumber(*options.from)) {
      throw InputError("--to comes before --from");
    }
    if (DayNumber(*options.to) - DayNumber(*options.from) >= kMaxDays) {
      throw InputError("a table covers at most 3660 days (ten years); ask for each year");
    }
    table.range = {*options.from, *options.to};
  }
  const std::vector<Date> dates =
      table.range ? DatesBetween(table.range->first, table.range->second) : DatesOfYear(table.year);
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
  YearDays year = ComputeDays(
      dates, table.place, where.zone,
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
  CLI::App* table =
      tool.add_subcommand("table", "Every day of a year (or a month, or dates), one line per day");
  AddYearOption(*table, *options);
  CLI::Option* year = table->get_option("--year");
  CLI::Option* month =
      AddValueOption(*table, "--month", options->month, ParseMonth, "A month instead: 2026-12")
          ->type_name("YYYY-MM");
  CLI::Option* from = AddValueOption(*table, "--from", options->from, ParseDate,
                                     "From this date instead, with --to")
                          ->type_name("YYYY-MM-DD");
  CLI::Option* to = AddValueOption(*table, "--to", options->to, ParseDate,
                                   "To this date, included (at most ten years after --from)")
                        ->type_name("YYYY-MM-DD");
  year->excludes(month)->excludes(from)->excludes(to);
  month->excludes(from)->excludes(to);
  AddPlaceOptions(*table, options->place);
  AddClockOption(*table);
  AddFormatOptions(*table, *options, "Write CSV with a header row");
  Hint(table
           ->add_option("--twilight", options->twilight,
                        "Add the dawn and dusk of this twilight as two more columns")
           ->check(CLI::IsMember(OnRequestKeys()).description(""))
           ->type_name(Alternatives(OnRequestKeys())),
       Words(OnRequestKeys()));
  AddAltitudeOption(*table, options->altitude);
  table->footer(std::string(kPlaceAndZoneHelp) +
                "\nExamples:\n  orbel-cli table --month 2026-12 --place berlin\n"
                "  orbel-cli table --from 2026-12-01 --to 2027-01-31 --place oslo --csv");
  return {table, [options] { return RunTable(*options); }};
}

}  // namespace orbel
