// The bash completion and the manual page of orbel-cli, written from its own
// command tree, so that they cannot drift from what it accepts.
#pragma once

#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

namespace orbel {

// Every command of the tree, in order (CLI11's plain get_subcommands lists
// only the ones parsed).
std::vector<const CLI::App*> CommandsOf(const CLI::App& tool);
// The options of a command that its help lists, in order.
std::vector<const CLI::Option*> OptionsOf(const CLI::App& command);

// A bash completion script for the tool.
void WriteBashCompletion(std::ostream& out, const CLI::App& tool);
// The manual page orbel-cli(1) in roff; `sections` (roff, such as ENVIRONMENT
// and FILES) comes after the generated ones.
void WriteManualPage(std::ostream& out, const CLI::App& tool, const std::string& version,
                     const std::string& sections);

}  // namespace orbel
