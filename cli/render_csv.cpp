// CSV: the year's table and the phases, a header row first. A day with more
// than one event of a kind gives each of its fields joined by spaces.
#include "format.h"
#include "phase_name.h"
#include "render.h"

namespace orbel {

namespace {

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

}  // namespace

void WriteTableCsv(std::ostream& out, const YearTable& table) {
  out << "date,utc_offset";
  for (const EventKind* column : table.Columns()) {
    const EventKind& kind = *column;
    for (const EventEdge* edge : {&kind.rise, &kind.set}) {
      const std::string name = edge->csv;
      out << ',' << name << "_text," << name << "_time," << name << "_hour," << name << "_minute,"
          << name << "_azimuth," << (kind.circle.meridian ? name + "_altitude," : "") << name
          << "_status";
    }
  }
  out << ",moon_age,moon_phase\n";
  for (const DayReport& day : table.days) {
    out << FormatDate(day.date) << ',' << FormatOffset(day.noonOffset);
    for (const KindDay& k : day.kinds) {
      if (!table.Shows(*k.kind)) continue;
      for (const std::vector<Event>* events : {&k.rises, &k.sets}) {
        out << ',' << CsvField(JoinEvents(*events, " ", [](const Event& e) { return e.text; }))
            << ',';
        if (events->front().status == 0) {
          out << JoinEvents(*events, " ", [](const Event& e) { return Rfc3339(e.at, e.offset); })
              << ','
              << JoinEvents(*events, " ", [](const Event& e) { return std::to_string(e.hour); })
              << ','
              << JoinEvents(*events, " ", [](const Event& e) { return std::to_string(e.minute); })
              << ','
              << JoinEvents(*events, " ", [](const Event& e) { return ShortestDouble(e.azimuth); });
          if (k.kind->circle.meridian) {
            out << ',' << JoinEvents(*events, " ", [](const Event& e) {
              return ShortestDouble(e.altitude);
            });
          }
        } else {
          out << (k.kind->circle.meridian ? ",,,," : ",,,");
        }
        out << ',' << events->front().status;
      }
    }
    out << ',' << day.moonAge << ',' << PhaseName(day.moonAge) << "\n";
  }
}

void WritePhasesCsv(std::ostream& out, const Zone& zone, const std::vector<PhaseInstant>& phases) {
  out << "phase,time\n";
  for (const PhaseInstant& p : phases) {
    out << PrincipalPhaseName(p.phase) << ',' << Rfc3339(zone, RoundToMinute(p.instant)) << '\n';
  }
}

SeriesWriter PositionsCsv(std::ostream& out, const Zone& zone) {
  out << "time,sun_altitude,sun_azimuth,moon_altitude,moon_azimuth\n";
  return {[&out, &zone](const PositionRow& r) {
            out << Rfc3339(zone, r.instant) << ',' << ShortestDouble(r.sun.altitude) << ','
                << ShortestDouble(r.sun.azimuth) << ',' << ShortestDouble(r.moon.altitude) << ','
                << ShortestDouble(r.moon.azimuth) << '\n';
          },
          [] {}};
}

}  // namespace orbel
