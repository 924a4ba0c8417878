// orbel-cli: sunrise, sunset, moonrise, moonset, twilight and the moon's phases
// from the command line. The commands live in command_*.cpp; this file parses
// the line, runs the command and turns failures into messages and statuses.
//
// Exit status: 0 success, 1 rejected batch lines or output not written, 2 a
// usage error, 3 wait found no event; is-up answers 0 or 1.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "command.h"
#include "error.h"
#include "printable.h"

int main(int argc, char** argv) {
  using namespace orbel;
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
      std::cerr << "orbel-cli: options need a command before them: " << Printable(suggestion, 120)
                << " (see orbel-cli --help)\n";
      return kExitUsage;
    }
    std::cerr << "orbel-cli: " << Printable(e.what(), 200) << " (see orbel-cli --help)\n";
    return kExitUsage;
  } catch (const InputError& e) {
    std::cerr << "orbel-cli: " << e.what() << '\n';
    return kExitUsage;
  }

  int status = 0;
  try {
    const Command* chosen = &commands.front();  // no command: "day"
    for (const Command& command : commands) {
      if (command.app->parsed()) chosen = &command;
    }
    status = chosen->run();
  } catch (const InputError& e) {
    std::cerr << "orbel-cli: " << e.what() << '\n';
    return kExitUsage;
  }
  // Output that did not reach its file (a full disk, /dev/full) is a failure.
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
    std::cerr << "orbel-cli: cannot write the output"
              << (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()) << '\n';
    return 1;
  }
  return status;
}
