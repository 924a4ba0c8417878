#!/bin/bash
# Usage: check_completion.sh ORBEL_CLI COMPLETION_FILE
# Checks that the bash completion offers every command and option that
# ORBEL_CLI's help lists, and the values of a few options and arguments.
# Prints one line per item missed and exits 1, else a summary and exits 0;
# exits 77 when bash-completion is not installed.
cli=$1 file=$2
framework=${BASH_COMPLETION:-/usr/share/bash-completion/bash_completion}
[[ $# == 2 && -x $cli && -r $file ]] || {
    echo "usage: $0 ORBEL_CLI COMPLETION_FILE" >&2
    exit 2
}
[[ -r $framework ]] || { echo "bash-completion not found: $framework"; exit 77; }
source "$framework"
source "$file"
func=$(complete -p orbel-cli 2>/dev/null | sed -n 's/.* -F \([^ ]*\) .*/\1/p')
[[ $func ]] || { echo "completion misses orbel-cli: no function registered"; exit 1; }

# candidates WORD...: what is offered for the last WORD of "orbel-cli WORD...",
# one a line, as if TAB were pressed at the end of the line.
candidates() {
    COMP_WORDS=(orbel-cli "$@") COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}" COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    "$func" orbel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}"
}

# expect LINE ITEM...: every ITEM is offered at the end of "orbel-cli LINE";
# a LINE that is empty or ends in a blank completes an empty word.
missing=() checks=0
expect() {
    local words got item
    read -ra words <<<"$1"
    [[ $1 == '' || $1 == *' ' ]] && words+=('')
    got=$'\n'$(candidates "${words[@]}")$'\n'
    for item in "${@:2}"; do
        ((checks++))
        [[ $got == *$'\n'"$item"$'\n'* ]] && continue
        item="${words[*]:0:${#words[@]}-1} $item"
        missing+=("completion misses ${item# }")
    done
}

# Names of the options that the help on stdin lists: -h,--help -> -h --help.
options() { sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr , '\n'; }

help=$("$cli" --help) || exit 1
subcommands=$(sed -n '/^Subcommands:/,/^$/s/^  \([^ ]*\).*/\1/p' <<<"$help")
[[ $subcommands ]] || { echo "no subcommands in $cli --help"; exit 1; }
expect '' $subcommands
expect '-' $(options <<<"$help")
for sub in $subcommands; do
    opts=$("$cli" "$sub" --help | options)
    [[ $opts ]] || missing+=("no options found in $cli $sub --help")
    expect "$sub -" $opts
    # Without a positional argument, the options come for an empty word too.
    "$cli" "$sub" --help | grep -q '^Positionals:' || expect "$sub " $opts
done

events=$("$cli" wait --help | sed -n 's/^  EVENT .*REQUIRED *//p' | tr -d , )
expect 'wait ' sunrise $events
expect 'is-up ' sun moon
expect 'table --twilight ' civil nautical astronomical
[[ -d /usr/share/zoneinfo ]] && expect 'day --tz Europe/Be' Europe/Berlin

# An option missed both after "-" and for an empty word is reported once.
((${#missing[@]})) && { printf '%s\n' "${missing[@]}" | awk '!seen[$0]++'; exit 1; }
echo "completion offers all $checks commands, options and values checked"
