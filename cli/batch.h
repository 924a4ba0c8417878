// The batch processor: raw engine queries from text lines, one result line each.
//
// An input line holds DAY MONTH YEAR LAT LON ZONE separated by blanks or tabs.
// Each value is passed to the engine as it stands (day and month 0-255, year
// 0-4294967295, any finite latitude and longitude, zone -128 to 127 hours with
// any decimal fraction, such as -5.5), so the output is the engine's answer to
// exactly those arguments.
#pragma once

#include <cstddef>
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

// The longest line RunBatch answers; a longer one is rejected as it is read,
// never held whole.
constexpr size_t kMaxBatchLineBytes = 64 * 1024;

// The most threads RunBatch accepts.
constexpr unsigned kMaxBatchJobs = 256;

// The number of processors online (at least 1, at most kMaxBatchJobs).
unsigned DefaultBatchJobs();

struct BatchOptions {
  // Threads that parse and answer lines, 1 to kMaxBatchJobs. With 1, the
  // calling thread answers the lines one by one.
  unsigned jobs = 1;
  // Flush out after every result line, with several jobs after every chunk of
  // them (for an interactive terminal).
  bool flushEachLine = false;
  // With several jobs, the most lines a thread takes at a time.
  size_t chunkLines = 1024;
};

// Reads lines from in until its end and writes one result line per query line
// to out; each rejected line writes "line N: <reason>" to err (N counts every
// line from 1) and nothing to out: a line longer than kMaxBatchLineBytes too.
// A NUL byte is no text: it is rejected and ends the input. Returns 0 when
// every line was a query, blank or a comment, else 1. Input that cannot be
// read throws std::system_error.
//
// out and err receive the same bytes whatever the number of jobs: the results
// and the rejections each in the order of the lines. With several jobs, the
// calling thread reads chunks of whole lines, jobs threads answer them and one
// more thread writes the answers in order; a bounded number of chunks is in
// flight, so memory does not grow with the input (only with the longest line).
//
// Whenever in has no more characters ready (in.rdbuf()->in_avail() is not
// positive), the lines read so far are answered, written and flushed while the
// read waits, so that the answers to a slow writer into a pipe do not wait for
// its next lines. (A stream buffer that never tells of characters ready makes
// small chunks: slower, but the same output.)
//
// Output that cannot be written (a full disk, a closed pipe) ends the batch
// with std::system_error saying why. Every thread has ended when RunBatch
// returns; an exception in one of them (such as std::bad_alloc) is thrown
// again from RunBatch.
int RunBatch(std::istream& in, std::ostream& out, std::ostream& err,
             const BatchOptions& options = BatchOptions());

}  // namespace orbel
