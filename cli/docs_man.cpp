// The manual page: the tool's description and options, a sub-section per
// command with its options and notes, the exit statuses and the examples.
#include <sstream>

#include "command.h"
#include "docs.h"

namespace orbel {

namespace {

// Text for roff: backslashes and hyphens escaped, no line starting with a
// control character.
std::string Roff(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
  }
  if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out = "\\&" + out;
  return out;
}

// "\fB\-\-lat\fR, \fB\-\-latitude\fR \fIDEG\fR".
std::string OptionHeading(const CLI::Option& option) {
  std::string heading;
  const auto add = [&](const std::string& name) {
    heading += (heading.empty() ? "" : ", ") + std::string("\\fB") + Roff(name) + "\\fR";
  };
  if (option.get_positional()) {
    heading = "\\fI" + Roff(option.get_name()) + "\\fR";
  } else {
    for (const std::string& name : option.get_snames()) add("-" + name);
    for (const std::string& name : option.get_lnames()) add("--" + name);
    if (option.get_expected_max() != 0) heading += " \\fI" + Roff(option.get_type_name()) + "\\fR";
  }
  return heading;
}

void WriteOptions(std::ostream& out, const CLI::App& command) {
  for (const CLI::Option* option : OptionsOf(command)) {
    out << ".TP\n" << OptionHeading(*option) << "\n" << Roff(option->get_description()) << "\n";
  }
}

// Notes: paragraphs, and command lines (indented by two blanks) as examples.
void WriteNotes(std::ostream& out, const std::string& notes) {
  std::istringstream lines(notes);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("  ", 0) == 0) {
      out << ".IP\n.B \"$ " << Roff(line.substr(2)) << "\"\n";
    } else if (!line.empty()) {
      out << ".PP\n" << Roff(line) << "\n";
    }
  }
}

}  // namespace

std::vector<const CLI::App*> CommandsOf(const CLI::App& tool) {
  std::vector<const CLI::App*> commands;
  for (const CLI::App* command : tool.get_subcommands([](const CLI::App*) { return true; })) {
    commands.push_back(command);
  }
  return commands;
}

std::vector<const CLI::Option*> OptionsOf(const CLI::App& command) {
  return command.get_options(
      [](const CLI::Option* option) { return !option->get_group().empty(); });
}

void WriteManualPage(std::ostream& out, const CLI::App& tool, const std::string& version,
                     const std::string& sections) {
  out << ".TH ORBEL-CLI 1 \"\" \"orbel-cli " << version << "\" \"User Commands\"\n";
  out << ".SH NAME\norbel-cli \\- sunrise, sunset, moonrise, moonset and moon phases on the "
         "command line\n";
  out << ".SH SYNOPSIS\n.B orbel-cli\n[\\fICOMMAND\\fR] [\\fIOPTIONS\\fR]\n";
  out << ".SH DESCRIPTION\n" << Roff(tool.get_description()) << "\n";
  out << ".SH OPTIONS\n";
  WriteOptions(out, tool);
  out << ".SH COMMANDS\n";
  for (const CLI::App* command : CommandsOf(tool)) {
    std::string usage = "orbel-cli " + command->get_name() + " [OPTIONS]";
    for (const CLI::Option* option : OptionsOf(*command)) {
      if (option->get_positional()) usage += " " + option->get_name();
    }
    out << ".SS \"" << Roff(usage) << "\"\n" << Roff(command->get_description()) << ".\n";
    WriteOptions(out, *command);
    WriteNotes(out, command->get_footer());
  }
  out << ".SH \"EXIT STATUS\"\n" << Roff(kExitStatusHelp) << "\n";
  out << ".SH EXAMPLES\n";
  for (const std::string& example : ToolExamples()) {
    out << ".IP\n.B \"$ " << Roff(example) << "\"\n";
  }
  out << sections;
}

}  // namespace orbel
