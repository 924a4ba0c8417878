// Options whose text a parser of values.h turns into a value when the
// command line is parsed; a rejection names the option and the value.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include <CLI/CLI.hpp>

#include "error.h"
#include "printable.h"

namespace orbel {

// Runs a parser on an option's text; a rejection becomes a message that names
// the option and the value: invalid --lat "91": the latitude must be ...
template <typename Parse>
auto ParseOption(const std::string& option, const std::string& text, Parse parse) {
  try {
    return parse(text);
  } catch (const InputError& e) {
    throw InputError("invalid " + option + " " + Quoted(text) + ": " + e.what());
  }
}

// An option (or a positional, for a name without dashes) whose text `parse`
// turns into `target`.
template <typename T, typename Parse>
CLI::Option* AddValueOption(CLI::App& command, const std::string& names, T& target, Parse parse,
                            const std::string& help) {
  const std::string shown = names.substr(0, names.find(','));
  return command.add_option_function<std::string>(
      names,
      [&target, shown, parse](const std::string& text) {
        target = ParseOption(shown, text, parse);
      },
      help);
}

}  // namespace orbel
