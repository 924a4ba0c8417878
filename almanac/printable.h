// Text from outside (arguments, file names, environment) as a message may
// repeat it: nothing in it can reach the terminal as a control.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orbel {

// Control characters and bytes that are not UTF-8 escaped (\n, \x1b), and cut
// to `maxCharacters` with "..." after.
std::string Printable(std::string_view text, size_t maxCharacters);
// A value quoted for a message: "value", at most 40 characters of it.
std::string Quoted(std::string_view text);

}  // namespace orbel
