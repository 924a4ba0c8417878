// The batch processor: raw engine queries from text lines, one result line each.
//
// An input line holds DAY MONTH YEAR LAT LON ZONE separated by blanks or tabs.
// Each value is passed to the engine as it stands (day and month 0-255, year
// 0-4294967295, any finite latitude and longitude, zone -128 to 127 hours with
// any decimal fraction, such as -5.5), so the output is the engine's answer to
// exactly those arguments.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "day_scan.h"

namespace orbel {

enum class LineKind {
  kSkip,   // blank or a comment starting with '#'
  kQuery,  // six valid fields
  kError,  // anything else
};

struct ParsedLine {
  LineKind kind;
  DayQuery query;     // set for kQuery
  std::string error;  // set for kError: why the line is rejected
};

// Parses one line (without its newline; a trailing carriage return counts as
// blank space).
ParsedLine ParseBatchLine(std::string_view line);

// Appends the 17 tab-separated results of a query and a newline: sunrise hour,
// minute, azimuth, text; the same for sunset, moonrise and moonset; the moon's
// age: the answers of the sixteen query functions and MoonAge, from one scan of
// each body. Integers are written as printf's %d, azimuths as %.17g, texts as
// the query functions return them. Safe to call from several threads at once.
void AppendBatchResult(const DayQuery& query, std::string& out);

// Reads lines from in until its end and writes one result line per query line
// to out; each rejected line writes "line N: <reason>" to err (N counts every
// line from 1) and nothing to out. Flushes out after every line when
// flushEachLine is set (for an interactive terminal). Returns 0 when every line
// was a query, blank or a comment, else 1.
int RunBatch(std::istream& in, std::ostream& out, std::ostream& err, bool flushEachLine);

}  // namespace orbel
