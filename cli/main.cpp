// orbel-cli: sunrise, sunset, moonrise, moonset, twilight and the moon's phases
// from the command line. The commands live in command_*.cpp; this file parses
// the line, runs the command and turns failures into messages and statuses.
//
// Exit status: 0 success, 1 rejected batch lines or output not written, 2 a
// usage error, 3 wait found no event; is-up answers 0 or 1.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "command.h"
#include "error.h"
#include "printable.h"

namespace {

// What a message may repeat from outside: the arguments (and the values of
// --option=value), TZ and TZDIR.
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

}  // namespace

int main(int argc, char** argv) {
  using namespace orbel;
  const auto fail = [&](int status, const std::string& message) {
    std::cerr << "orbel-cli: " << SafeMessage(message, OutsideValues(argc, argv)) << '\n';
    return status;
  };
  CLI::App tool;
  const std::vector<Command> commands = BuildTool(tool);
  try {
    tool.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return tool.exit(e);  // --help, --version
    // Options before any command are meant for "day".
    if (argc > 1 && argv[1][0] == '-' && tool.get_subcommands().empty()) {
      std::string suggestion = "orbel-cli day";
      for (int i = 1; i < argc; ++i) suggestion += std::string(" ") + argv[i];
      return fail(kExitUsage,
                  "options need a command before them: " + suggestion + " (see orbel-cli --help)");
    }
    return fail(kExitUsage, std::string(e.what()) + " (see orbel-cli --help)");
  } catch (const InputError& e) {
    return fail(kExitUsage, e.what());
  }

  int status = 0;
  try {
    const Command* chosen = &commands.front();  // no command: "day"
    for (const Command& command : commands) {
      if (command.app->parsed()) chosen = &command;
    }
    status = chosen->run();
  } catch (const InputError& e) {
    return fail(kExitUsage, e.what());
  } catch (const std::exception& e) {  // a file not written, memory exhausted
    return fail(1, e.what());
  }
  // Output that did not reach its file (a full disk, /dev/full) is a failure.
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    return fail(1, std::string("cannot write the output") +
                       (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()));
  }
  return status;
}
