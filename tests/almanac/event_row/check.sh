#!/usr/bin/env bash
# Checks that a kind of event added as a row of the event table ("sun-3", a
# twilight with the sun's centre 3 degrees below the horizon) comes out of every
# command that lists kinds, and of the generated completion and manual page.
#   check.sh ORBEL_CLI ORBEL_CLI_DOCS MAN_SECTIONS
set -uo pipefail
cli=$1 docs=$2 sections=$3
failures=0
fail() { echo "event_row: $*" >&2; failures=$((failures + 1)); }
# has WHAT TEXT NEEDLE: TEXT holds NEEDLE.
has() { [[ $2 == *"$3"* ]] || fail "$1 lacks '$3'"; }

berlin=(--date 2026-06-21 --lat 52.52 --lon 13.405 --zone -2)
day=$(TZ=UTC0 "$cli" day "${berlin[@]}" --twilight)
has "day --twilight" "$day" "  Sun-3         dawn 04:23  dusk 21:53"
json=$(TZ=UTC0 "$cli" day "${berlin[@]}" --json)
has "day --json" "$json" '"sun-3": {'
has "day --json" "$json" '"dawn": {'
table=$(TZ=UTC0 "$cli" table --year 2026 --lat 52.52 --lon 13.405 --zone -2 --twilight sun-3)
has "table" "$table" "sun-3 dawn"
csv=$(TZ=UTC0 "$cli" table --year 2026 --lat 52.52 --lon 13.405 --zone -2 --twilight sun-3 --csv)
has "table --csv" "$csv" "sun-3_dusk_time"
wait=$(TZ=UTC0 "$cli" wait sun-3-dusk --lat 52.52 --lon 13.405 --zone -2 --dry-run)
has "wait" "$wait" ", sun-3-dusk at "

# now, between sunset and the sun at -3 degrees: its band.
sunset=$(date -u -d "$(tr -d '\n ' <<<"$json" | sed 's/.*"sunset":{"text":"[^"]*","time":"\([^"]*\)".*/\1/')" +%s)
minus3=$(date -u -d "$(tr -d '\n ' <<<"$json" | sed 's/.*"sun-3":{"dawn":{[^}]*},"dusk":{"text":"[^"]*","time":"\([^"]*\)".*/\1/')" +%s)
if [[ $sunset =~ ^[0-9]+$ && $minus3 =~ ^[0-9]+$ ]] && ((sunset < minus3)); then
  faketime=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
  if [[ -n $faketime ]]; then
    now=$(LD_PRELOAD=$faketime FAKETIME_FMT=%s FAKETIME=$(((sunset + minus3) / 2)) \
      FAKETIME_DISABLE_SHM=1 TZ=UTC0 "$cli" now --lat 52.52 --lon 13.405 --zone -2)
    has "now" "$now" "Twilight sun-3 twilight"
  fi
else
  fail "no sunset and dusk of sun-3 in day --json"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$docs" completion "$work/completion" || fail "the completion was not written"
has "the completion" "$(cat "$work/completion")" "sun-3-dawn sun-3-dusk"
has "the completion" "$(cat "$work/completion")" "civil nautical astronomical sun-3"
"$docs" man "$sections" "$work/page" || fail "the manual page was not written"
has "the manual page" "$(cat "$work/page")" "sun\\-3\\-dawn"

((failures == 0)) && echo "event_row: the row is in day, table, CSV, JSON, wait, now and the completion"
exit $((failures > 0))
