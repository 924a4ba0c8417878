#!/bin/sh
# Prints orbel-cli's help and the help of each of its commands as one text that
# help2man turns into the manual page: the command list and the exit statuses
# become sections of their own, each command a sub-section with its options,
# and the example lines are set as commands.
#   man-help.sh ORBEL_CLI [--help]
set -eu
cli=$1

# Example lines, indented commands, get help2man's "$ " prefix and a paragraph
# of their own. The number of processors of the machine that builds the page is
# no default of the reader's.
examples() {
  sed 's/, [0-9][0-9]* here)/)/' | awk '
    /^  (orbel-cli |TZ=|echo |if )/ {
      if (previous != "" && previous !~ /^  \$ /) print ""
      $0 = "  $ " substr($0, 3)
    }
    { print; previous = $0 }'
}

top=$("$cli" --help)
commands=$(printf '%s\n' "$top" | sed -n '/^Subcommands:$/,/^$/s/^  \([a-z-][a-z-]*\) .*/\1/p')

printf '%s\n' "$top" | sed -n '/^Subcommands:$/q;p'
printf '%s\n' "$top" | sed -n '/^Subcommands:$/,/^$/p' | sed 's/^Subcommands:$/*Commands*/'

for command in $commands; do
  # "Description", "Usage: orbel-cli COMMAND ...", then the option lists
  # without their headings and without the -h,--help every command has.
  "$cli" "$command" --help | awk '
    NR == 1 { description = $0; next }
    NR == 2 { sub(/^Usage: /, ""); print $0 ":"; print "  " description "."; next }
    /^(Options|Positionals):$/ || /^  -h,--help / { next }
    /^$/ { if (!blank) print ""; blank = 1; next }
    { blank = 0; print }
  ' | examples
  echo
done

printf '%s\n' "$top" | sed -n '/^Examples:$/,$p' | sed 's/^Exit status: /\n*Exit status*\n/' | examples
