// The commands of orbel-cli: each adds its subcommand, with its options, to
// the tool's command tree and says how it runs once the line is parsed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace orbel {

struct Command {
  CLI::App* app;
  std::function<int()> run;  // the exit status
};

constexpr int kExitUsage = 2;
constexpr int kExitNoEvent = 3;
// A failure of the tool itself (memory exhausted); no command answers with it.
constexpr int kExitFailure = 4;

Command AddDayCommand(CLI::App& tool);
Command AddTableCommand(CLI::App& tool);
Command AddBatchCommand(CLI::App& tool);
Command AddPhasesCommand(CLI::App& tool);
Command AddWaitCommand(CLI::App& tool);
Command AddNextCommand(CLI::App& tool);
Command AddPlacesCommand(CLI::App& tool);
Command AddHomeCommand(CLI::App& tool);
Command AddPositionsCommand(CLI::App& tool);
Command AddNowCommand(CLI::App& tool);
Command AddIsUpCommand(CLI::App& tool);
Command AddPhaseCommand(CLI::App& tool);

// The whole tool: its description, version, examples and every command, the
// first of them ("day") also what runs without a command.
std::vector<Command> BuildTool(CLI::App& tool);

// The help text on the place and the zone that the commands taking them show.
extern const char* const kPlaceAndZoneHelp;
// The tool's examples, one command line each, and what its exit statuses mean.
const std::vector<std::string>& ToolExamples();
extern const char* const kExitStatusHelp;

}  // namespace orbel
