// orbel-cli: sunrise, sunset, moonrise, moonset, twilight and the moon's phases
// from the command line. The commands live in command_*.cpp; this file parses
// the line, runs the command and turns failures into messages and statuses.
//
// Exit status: 0 success, 1 rejected batch lines or output not written, 2 a
// usage error, 3 wait found no event, 4 a failure of the tool itself; is-up
// answers 0 or 1.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include <CLI/CLI.hpp>

#include "command.h"
#include "environment.h"
#include "error.h"
#include "messages.h"
#include "printable.h"

namespace {

// Memory exhausted anywhere ends the tool with one fixed line and status 4,
// allocating nothing on the way out. A std::bad_alloc thrown in a destructor
// (nlohmann's JSON allocates while it frees) or while the message is composed
// would end in std::terminate, an abort.
void ExitWhenMemoryRunsOut() {
  std::set_new_handler([] {
    static const char kMessage[] = "orbel-cli: out of memory\n";
    std::fwrite(kMessage, 1, sizeof kMessage - 1, stderr);  // unbuffered: no allocation
    std::_Exit(orbel::kExitFailure);
  });
}

}  // namespace

int main(int argc, char** argv) {
  using namespace orbel;
  GuardStandardStreams();
  ExitWhenMemoryRunsOut();
  const auto fail = [&](int status, const std::string& message) {
    std::cerr << "orbel-cli: " << SafeMessage(message, OutsideValues(argc, argv)) << '\n';
    return status;
  };
  const auto written = [&](int status) {
    if (OutputWritten()) return status;
    return fail(1, std::string("cannot write the output") +
                       (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string()));
  };
  try {
    CLI::App tool;
    const std::vector<Command> commands = BuildTool(tool);
    try {
      tool.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
      if (e.get_exit_code() == 0) return written(tool.exit(e));  // --help, --version
      if (argc > 1 && argv[1][0] == '-' && tool.get_subcommands().empty()) {
        return fail(kExitUsage, OptionWithoutCommand(tool, argc, argv));
      }
      return fail(kExitUsage, std::string(e.what()) + " (see orbel-cli --help)");
    }
    const Command* chosen = &commands.front();  // no command: "day"
    for (const Command& command : commands) {
      if (command.app->parsed()) chosen = &command;
    }
    return written(chosen->run());
  } catch (const InputError& e) {
    return fail(kExitUsage, e.what());
  } catch (const std::system_error& e) {  // a file or the output not written
    return fail(1, e.what());
  } catch (const std::exception& e) {  // a fault of the tool
    return fail(kExitFailure, e.what());
  } catch (...) {
    return fail(kExitFailure, "an unknown failure");
  }
}
