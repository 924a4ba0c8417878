// What an option's value may be, for the generated bash completion: a list of
// words, files of some kinds, or zone names. Set where the option is defined.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

namespace orbel {

struct ValueHint {
  std::vector<std::string> words;  // the values, when they are a list
  std::string files;               // file name endings, "png|ppm"
  bool zones = false;              // a zone of the zone database
};

ValueHint Words(std::vector<std::string> words);
ValueHint Files(std::string endings);
ValueHint Zones();

// Records the hint of an option, and returns the option.
CLI::Option* Hint(CLI::Option* option, ValueHint hint);
// The hint of an option, or null.
const ValueHint* HintOf(const CLI::Option* option);

}  // namespace orbel
