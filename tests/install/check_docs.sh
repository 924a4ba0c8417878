#!/bin/bash
# Usage: check_docs.sh ORBEL_CLI COMPLETION_FILE MAN_PAGE
# Compares every command's --help with the generated manual page and bash
# completion: the same commands and options, no more, no fewer, and the values
# of the options and arguments whose help lists them; and --help shows none of
# the parser's leftovers. Prints one line per difference and exits 1, else a
# summary and exits 0; exits 77 when bash-completion is not installed.
cli=$1 completion=$2 page=$3
framework=${BASH_COMPLETION:-/usr/share/bash-completion/bash_completion}
[[ $# == 3 && -x $cli && -r $completion && -r $page ]] || {
    echo "usage: $0 ORBEL_CLI COMPLETION_FILE MAN_PAGE" >&2
    exit 2
}
[[ -r $framework ]] || { echo "bash-completion not found: $framework"; exit 77; }
source "$framework"
source "$completion"
func=$(complete -p orbel-cli 2>/dev/null | sed -n 's/.* -F \([^ ]*\) .*/\1/p')
[[ $func ]] || { echo "the completion registers no function for orbel-cli"; exit 1; }

# offered WORD...: what TAB at the end of "orbel-cli WORD..." offers, sorted.
offered() {
    COMP_WORDS=(orbel-cli "$@") COMP_CWORD=$#
    COMP_LINE="${COMP_WORDS[*]}" COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    "$func" orbel-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | sort
}
# Option names of a help text (on stdin), "-h,--help" as two, sorted.
options() { sed -n 's/^  \(-[^ ]*\).*/\1/p' | tr , '\n' | sort; }
# Option names of the manual page's part for COMMAND ("" for the tool's own).
man_options() {
    zcat -f "$page" | sed 's/\\-/-/g' | awk -v part="$1" '
        /^\.SH / { in_part = part == "" && $0 == ".SH OPTIONS"; next }
        /^\.SS / { in_part = part != "" && index($0, ".SS \"orbel-cli " part " ") == 1; next }
        in_part && after_tp { print } { after_tp = /^\.TP/ }' |
        grep -o '\\fB[^\\]*\\fR' | sed 's/\\fB//; s/\\fR//' | sort
}

differences=() checks=0
# same WHAT EXPECTED SEEN: one difference per item in one list but not both.
same() {
    ((checks++))
    local missing extra
    missing=$(comm -23 <(echo "$2") <(echo "$3") | xargs)
    extra=$(comm -13 <(echo "$2") <(echo "$3") | xargs)
    [[ $missing ]] && differences+=("$1 misses $missing")
    [[ $extra ]] && differences+=("$1 has more: $extra")
}

help=$("$cli" --help) || exit 1
commands=$(sed -n '/^Subcommands:/,/^$/s/^  \([^ ]*\).*/\1/p' <<<"$help" | sort)
[[ $commands ]] || { echo "no commands in $cli --help"; exit 1; }
same "the completion of commands" "$commands" "$(offered '')"
same "the completion of orbel-cli's options" "$(options <<<"$help")" "$(offered -)"
same "orbel-cli(1) OPTIONS" "$(options <<<"$help")" "$(man_options '')"
for command in $commands; do
    text=$("$cli" "$command" --help)
    opts=$(options <<<"$text")
    same "the completion of $command" "$opts" "$(offered "$command" -)"
    same "orbel-cli(1) $command" "$opts" "$(man_options "$command")"
    # A positional's values as its help lists them ("a, b, c" or "a or b";
    # not a free text such as a name), and of an option whose value names
    # them ("civil|nautical").
    values=$(sed -n '/^Positionals:/{n;s/^  [A-Z]*  *//p}' <<<"$text" |
        grep -E '^[a-z-]+((, | or )[a-z-]+)*$' | tr -d , | tr ' ' '\n' | grep -v '^or$' | sort)
    [[ $values ]] && same "the completion of $command's argument" "$values" "$(offered "$command" '')"
    while read -r option choices; do
        same "the completion of $command $option" "$(tr '|' '\n' <<<"$choices" | sort)" \
            "$(offered "$command" "$option" '')"
    done < <(sed -n 's/^  \(--[a-z-]*\) \([a-z-]*|[a-z|-]*\)\( .*\)\{0,1\}$/\1 \2/p' <<<"$text")
    leftovers=$(grep -E 'Excludes:|Needs:|TEXT|:\{|^  [A-Z]+ +[A-Z]+ ' <<<"$text")
    [[ $leftovers ]] && differences+=("$command --help shows the parser's leftovers: $leftovers")
done
[[ -d /usr/share/zoneinfo ]] && [[ $(offered day --tz Europe/Be) == *Europe/Berlin* ]] ||
    differences+=("the completion of day --tz misses Europe/Berlin")

((${#differences[@]})) && { printf '%s\n' "${differences[@]}"; exit 1; }
echo "the manual page and the completion match --help in all $checks lists checked"
