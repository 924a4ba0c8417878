#include "messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "close_names.h"

namespace orbel {

std::vector<std::string> OutsideValues(int argc, char** argv) {
  std::vector<std::string> values(argv + 1, argv + argc);
  for (int i = 1; i < argc; ++i) {
    if (const char* equals = std::strchr(argv[i], '=')) values.emplace_back(equals + 1);
  }
  for (const char* name : {"TZ", "TZDIR"}) {
    if (const char* value = std::getenv(name)) values.emplace_back(value);
  }
  return values;
}

std::string OptionWithoutCommand(CLI::App& tool, int argc, char** argv) {
  const std::string option = std::string(argv[1]).substr(0, std::string(argv[1]).find('='));
  const CLI::App* day = tool.get_subcommand("day");
  if (day->get_option_no_throw(option) != nullptr) {
    std::string line = "orbel-cli day";
    for (int i = 1; i < argc; ++i) line += std::string(" ") + argv[i];
    return "options need a command before them: " + line + " (see orbel-cli --help)";
  }
  std::vector<std::string> names;
  for (const CLI::App* app : {static_cast<const CLI::App*>(&tool), day}) {
    for (const CLI::Option* o : app->get_options()) {
      for (const std::string& name : o->get_lnames()) names.push_back("--" + name);
    }
  }
  const std::vector<size_t> close = CloseNames(option, names, 1);
  return "no option " + option +
         (close.empty() ? " (see orbel-cli --help)" : "; did you mean " + names[close[0]] + "?");
}

bool OutputWritten() {
  std::cout.flush();
  return std::cout && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
}

}  // namespace orbel
