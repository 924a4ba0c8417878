// Starting programs from tests (POSIX only): run one to its end under a time
// limit, or start one, write to its standard input, read its output line by
// line, send it signals and wait for its end. Standard output and error are
// read by a thread of their own while the program runs, so a program never
// blocks on a full pipe.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace run_program {

using std::chrono::milliseconds;

struct Options {
  // Written to standard input, which is then closed unless keepInputOpen.
  std::string input;
  // Standard input stays open for Child::Write until Child::CloseInput.
  bool keepInputOpen = false;
  // Changes to this process's environment: a value sets the variable,
  // nullopt removes it.
  std::map<std::string, std::optional<std::string>> env;
  // A descriptor of this process the program inherits (all others above 2
  // are closed), such as the pipe Xvfb writes its display number to.
  int keepFd = -1;
};

// How a program ended.
struct Ended {
  int status = -1;        // the exit status, or -1 when it did not exit
  int signal = 0;         // the signal that ended it, or 0
  bool timedOut = false;  // still running at the time limit: killed
  std::string out, err;   // everything it wrote
};

// A started program. argv[0] is the program's path (no PATH search); a
// program that cannot be started exits with status 127.
class Child {
 public:
  explicit Child(const std::vector<std::string>& argv, const Options& options = {});
  ~Child();  // a program still running is killed
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool Write(const std::string& text);  // to standard input; false when that fails
  void CloseInput();
  // The next line of standard output with its newline, or what came of it
  // when the output ended or the time ran out.
  std::string ReadLine(milliseconds timeout);
  void Signal(int signal);
  // Whether the program is still running; does not wait.
  bool Running();
  // Waits for the end; after `timeout` the program is killed (SIGKILL).
  Ended Wait(milliseconds timeout);
  // SIGTERM, then SIGKILL when it has not ended after `grace`.
  Ended Stop(milliseconds grace = std::chrono::seconds(5));

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Runs a program to its end: Child(argv, options).Wait(timeout).
Ended Run(const std::vector<std::string>& argv, const Options& options = {},
          milliseconds timeout = std::chrono::seconds(60));

}  // namespace run_program
