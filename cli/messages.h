// What orbel-cli says when something fails: which values from outside a
// message may repeat (and so must be made safe), what an option given before
// any command means, and whether the output reached its file.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace orbel {

// The arguments (and the values of --option=value), TZ and TZDIR.
std::vector<std::string> OutsideValues(int argc, char** argv);

// For argv[1], an option given before any command: "day" takes it (run it
// with day), or a close option of the tool's or of day's is meant.
std::string OptionWithoutCommand(CLI::App& tool, int argc, char** argv);

// Whether what was written to standard output reached it.
bool OutputWritten();

}  // namespace orbel
