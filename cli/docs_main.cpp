// orbel-cli-docs: writes orbel-cli's bash completion or manual page from its
// command tree, at build time.
//   orbel-cli-docs completion OUTPUT
//   orbel-cli-docs man SECTIONS.man OUTPUT
#include <fstream>
#include <iostream>
#include <sstream>

#include "command.h"
#include "docs.h"
#include "orbel_version.h"

int main(int argc, char** argv) {
  CLI::App tool;
  orbel::BuildTool(tool);
  const std::string what = argc > 1 ? argv[1] : "";
  std::ofstream out;
  if (what == "completion" && argc == 3) {
    out.open(argv[2]);
    orbel::WriteBashCompletion(out, tool);
  } else if (what == "man" && argc == 4) {
    std::ifstream in(argv[2]);
    std::stringstream sections;
    sections << in.rdbuf();
    if (!in) {
      std::cerr << "orbel-cli-docs: cannot read " << argv[2] << "\n";
      return 1;
    }
    out.open(argv[3]);
    orbel::WriteManualPage(out, tool, ORBEL_VERSION, sections.str());
  } else {
    std::cerr << "usage: orbel-cli-docs completion OUTPUT | man SECTIONS.man OUTPUT\n";
    return 2;
  }
  out.close();
  if (!out) {
    std::cerr << "orbel-cli-docs: cannot write " << argv[argc - 1] << "\n";
    return 1;
  }
  return 0;
}
