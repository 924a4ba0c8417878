// Text from outside (arguments, file names, environment) as a message may
// repeat it: nothing in it can reach the terminal as a control.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orbel {

// Control characters, bytes that are not UTF-8 and the bidirectional
// overrides and isolates (U+202A-U+202E, U+2066-U+2069, which reorder what a
// terminal shows) escaped (\n, \x1b, \u202e), and cut to `maxCharacters` with
// "..." after.
std::string Printable(std::string_view text, size_t maxCharacters);
// A value quoted for a message: "value", at most 40 characters of it.
std::string Quoted(std::string_view text);

// A message made safe to print: every occurrence of each of `values` (the
// arguments, the environment it read) shown as Printable(value, 40), and
// everything else escaped as Printable does.
std::string SafeMessage(std::string_view message, const std::vector<std::string>& values);

}  // namespace orbel
