// orbel-cli batch: raw engine queries from standard input.
#include <iostream>
#include <memory>

#ifdef _WIN32
#include <io.h>
#define ORBEL_ISATTY _isatty
#else
#include <unistd.h>
#define ORBEL_ISATTY isatty
#endif

#include "batch.h"
#include "command.h"
#include "options.h"
#include "values.h"

namespace orbel {

Command AddBatchCommand(CLI::App& tool) {
  auto jobs = std::make_shared<unsigned>(DefaultBatchJobs());
  CLI::App* batch = tool.add_subcommand("batch", "Raw engine queries from standard input");
  batch->footer(
      "Reads lines 'DAY MONTH YEAR LAT LON ZONE' (blank-separated) from standard input and "
      "writes one line of 17 tab-separated results for each: sunrise hour, minute, azimuth, "
      "text; the same for sunset, moonrise and moonset; the moon's age. The values go to the "
      "engine as given: DAY and MONTH 0-255, YEAR 0-4294967295, any finite LAT and LON, ZONE "
      "-128 to 127 hours with any decimal fraction (-5.5 for UTC+5:30). Blank lines and lines "
      "starting with # are skipped. A rejected line is "
      "reported on standard error as 'line N: reason' and makes the exit status 1. The output "
      "is the same for any --jobs; whenever no more input is ready, the lines read so far are "
      "answered at once, so a slow writer into the pipe gets each answer right away.");
  const std::string range = "1 to " + std::to_string(kMaxBatchJobs);
  AddValueOption(
      *batch, "--jobs", *jobs,
      [range](const std::string& text) {
        return static_cast<unsigned>(
            ParseWholeNumber(text, 1, kMaxBatchJobs, "a whole number from " + range));
      },
      "Threads that answer lines, " + range + " (default: the number of processors, " +
          std::to_string(DefaultBatchJobs()) +
          " here); lines typed at a terminal are answered one at a time")
      ->type_name("N");
  return {batch, [jobs] {
            BatchOptions options;
            options.jobs = *jobs;
            // Lines typed at a terminal come one at a time: each is answered as
            // soon as it is complete, on this thread.
            if (ORBEL_ISATTY(0) != 0) options.jobs = 1;
            options.flushEachLine = ORBEL_ISATTY(1) != 0;
            std::ios::sync_with_stdio(false);
            std::cin.tie(nullptr);
            return RunBatch(std::cin, std::cout, std::cerr, options);
          }};
}

}  // namespace orbel
