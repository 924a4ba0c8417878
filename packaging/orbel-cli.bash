# bash completion for orbel-cli                            -*- shell-script -*-
#
# The commands and options below follow `orbel-cli --help` and
# `orbel-cli COMMAND --help`; tests/install/check_completion.sh compares them
# with the program's help, so update both when an option is added.

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

# Succeeds when option $1 of command $2 takes a value, so that the next word
# is that value and not an option or a positional argument.
_orbel_cli_takes_value()
{
    case $1 in
        --date | --at | --lat | --latitude | --lon | --longitude | --place | \
            --tz | --utc-offset | --zone | --year | --jobs | --offset | \
            --within | --age | --radius | --out)
            return 0
            ;;
        --twilight) [[ $2 == table ]] ;; # a flag in day, a choice in table
        *) return 1 ;;
    esac
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

    # Values of options: zone names, twilight kinds, image files. The other
    # values (dates, times, coordinates, numbers, city names) are free text,
    # so nothing is offered rather than options or file names.
    case $prev in
        --tz)
            COMPREPLY=($(compgen -W "$(_orbel_cli_zones)" -- "$cur"))
            return
            ;;
        --out)
            _filedir 'png|ppm'
            return
            ;;
        --twilight)
            if [[ $cmd == table ]]; then
                COMPREPLY=($(compgen -W 'civil nautical astronomical' -- "$cur"))
                return
            fi
            ;;
    esac
    _orbel_cli_takes_value "$prev" "$cmd" && return
    $split && return

    local help='-h --help'
    local place='--lat --latitude --lon --longitude --place --tz --utc-offset --zone'
    local opts positionals=
    case $cmd in
        '') opts='-h --help --version' ;;
        day) opts="$help --date --at $place --json --twilight" ;;
        table) opts="$help --year $place --json --csv --twilight" ;;
        batch) opts="$help --jobs" ;;
        phases) opts="$help --year $place --json --csv" ;;
        wait)
            opts="$help --offset $place --within --dry-run"
            positionals='sunrise sunset moonrise moonset civil-dawn civil-dusk
                nautical-dawn nautical-dusk astronomical-dawn astronomical-dusk'
            ;;
        now) opts="$help $place --json" ;;
        is-up)
            opts="$help $place"
            positionals='sun moon'
            ;;
        phase) opts="$help --age --date --radius --out" ;;
        *) return ;; # an unknown command: nothing sensible to offer
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$opts" -- "$cur"))
    elif [[ -z $cmd ]]; then
        COMPREPLY=($(compgen -W 'day table batch phases wait now is-up phase' -- "$cur"))
    else
        # wait and is-up take one positional argument (EVENT, BODY): offer its
        # values until it is given, the options otherwise and afterwards.
        local given=
        for ((i++; i < cword; i++)); do
            if _orbel_cli_takes_value "${words[i]}" "$cmd"; then
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
