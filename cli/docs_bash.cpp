// The bash completion: for each command its options, the ones that take a
// value, and the values offered where the option's hint lists them.
#include <fmt/format.h>

#include "docs.h"
#include "value_hints.h"

namespace orbel {

namespace {

const char* const kHead =
    R"sh(# bash completion for orbel-cli                            -*- shell-script -*-
#
# Written by orbel-cli-docs from the program's command tree at build time.

# Names of the zone database for --tz: the zones and links that tzdata.zi
# lists, else the zone files under the zoneinfo directory (without the posix/
# and right/ copies and the tables and scripts that sit next to the zones).
_orbel_cli_zones()
{
    local dir=${TZDIR:-/usr/share/zoneinfo}
    if [[ -r $dir/tzdata.zi ]]; then
        awk '$1 == "Z" { print $2 } $1 == "L" { print $3 }' "$dir/tzdata.zi"
    elif [[ -d $dir ]]; then
        find "$dir" \( -path "$dir/posix" -o -path "$dir/right" \) -prune -o \
            \( -type f -o -type l \) -name '[A-Z]*' ! -name '*.*' \
            ! -name SECURITY -print 2>/dev/null | sed "s|^$dir/||"
    fi
}

_orbel_cli()
{
    local cur prev words cword split
    _init_completion -s || return

    # Top-level options take no value: the first other word is the command.
    local i cmd=
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} != -* ]]; then
            cmd=${words[i]}
            break
        fi
    done

    # The command's options, those of them that take a value, and the values
    # of its positional argument.
    local opts valued positionals
    case $cmd in
)sh";

const char* const kTail = R"sh(    esac
    [[ " $valued " == *" $prev "* ]] && return  # a value of free text
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$opts" -- "$cur"))
    elif [[ -z $cmd ]]; then
        COMPREPLY=($(compgen -W '@COMMANDS@' -- "$cur"))
    else
        # Offer the positional argument's values until it is given, the
        # options otherwise and afterwards.
        local given=
        for ((i++; i < cword; i++)); do
            if [[ " $valued " == *" ${words[i]} "* ]]; then
                ((i++))
            elif [[ ${words[i]} != -* ]]; then
                given=1
            fi
        done
        if [[ $positionals && ! $given ]]; then
            COMPREPLY=($(compgen -W "$positionals" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$opts" -- "$cur"))
        fi
    fi
} &&
    complete -F _orbel_cli orbel-cli

# ex: filetype=sh
)sh";

std::string Joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
  return text;
}

// The names of an option: "-h --help", "--lat --latitude".
std::vector<std::string> NamesOf(const CLI::Option& option) {
  std::vector<std::string> names;
  for (const std::string& name : option.get_snames()) names.push_back("-" + name);
  for (const std::string& name : option.get_lnames()) names.push_back("--" + name);
  return names;
}

// The case arm of a command ("" for the tool itself): its word lists, then the
// values of its options that have a hint.
void WriteCommand(std::ostream& out, const std::string& name, const CLI::App& command) {
  std::vector<std::string> opts, valued, positionals;
  std::string values;
  for (const CLI::Option* option : OptionsOf(command)) {
    const ValueHint* hint = HintOf(option);
    if (option->get_positional()) {
      if (hint != nullptr) positionals = hint->words;
      continue;
    }
    const std::vector<std::string> names = NamesOf(*option);
    opts.insert(opts.end(), names.begin(), names.end());
    if (option->get_expected_max() == 0) continue;  // a flag
    valued.insert(valued.end(), names.begin(), names.end());
    if (hint == nullptr) continue;
    std::string reply;
    if (hint->zones) {
      reply = R"sh(COMPREPLY=($(compgen -W "$(_orbel_cli_zones)" -- "$cur")))sh";
    } else if (!hint->files.empty()) {
      reply = "_filedir '" + hint->files + "'";
    } else {
      reply = "COMPREPLY=($(compgen -W '" + Joined(hint->words) + "' -- \"$cur\"))";
    }
    for (const std::string& n : names) {
      values += fmt::format("                {}) {}; return ;;\n", n, reply);
    }
  }
  out << fmt::format("        {})\n            opts='{}'\n            valued='{}'\n",
                     name.empty() ? "''" : name, Joined(opts), Joined(valued));
  out << fmt::format("            positionals='{}'\n", Joined(positionals));
  if (!values.empty()) out << "            case $prev in\n" << values << "            esac\n";
  out << "            ;;\n";
}

}  // namespace

void WriteBashCompletion(std::ostream& out, const CLI::App& tool) {
  out << kHead;
  WriteCommand(out, "", tool);
  std::vector<std::string> names;
  for (const CLI::App* command : CommandsOf(tool)) {
    WriteCommand(out, command->get_name(), *command);
    names.push_back(command->get_name());
  }
  out << "        *) return ;;  # an unknown command: nothing sensible to offer\n";
  std::string tail = kTail;
  tail.replace(tail.find("@COMMANDS@"), 10, Joined(names));
  out << tail;
}

}  // namespace orbel
