// How --help shows options: the value's name after an option that takes one,
// nothing after a positional (its line and the usage name it), and none of
// the parser's own notes on exclusions.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

namespace orbel {

class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_option_opts(const CLI::Option* option) const override;
};

}  // namespace orbel
