#!/usr/bin/env bash
# orbel-cli.exe's wait and is-up under Wine, as the task scheduler runs them:
# the real sleep until a sunrise seconds away, a dry run with an offset,
# and is-up's exit status at the poles.
#
#   cli_sky.sh WINE_EXEC ORBEL_CLI_EXE
set -uo pipefail
run() { "$1" --no-wait "$2" "${@:3}"; }
wine_exec=$1 cli=$2
fail() { echo "cli_sky.sh: $*" >&2; exit 1; }

# A longitude on the equator whose next sunrise is about thirty seconds away
# (starting a program under Wine may take seconds on a busy machine): the
# sunrise comes four minutes earlier for each degree east.
lon=0
for _ in 1 2 3 4 5; do
  line=$(run "$wine_exec" "$cli" wait sunrise --lat 0 --lon "$lon" --zone 0 --dry-run) || fail "dry run: $line"
  moment=$(date -u -d "${line:0:19}" +%s) || fail "no moment in: $line"
  d=$((moment - $(date +%s) - 30))
  [ "${d#-}" -le 3 ] && break
  # A sunrise just missed comes back as tomorrow's: count it as a second late.
  lon=$(awk -v l="$lon" -v d="$d" \
    'BEGIN { if (d > 43200) d -= 86400; l += d / 240
             while (l > 180) l -= 360; while (l < -180) l += 360; printf "%.6f", l }')
done
start=$(date +%s.%N)
timeout 90 "$wine_exec" --no-wait "$cli" wait sunrise --lat 0 --lon "$lon" --zone 0 2>/dev/null ||
  fail "the wait failed or did not return within 90 s"
took=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%d", e - s }')
[ "$took" -ge 10 ] && [ "$took" -le 60 ] || fail "the wait took $took s instead of about 30"

line=$(run "$wine_exec" "$cli" wait sunset --offset -00:30 --lat 0 --lon 0 --zone 0 --dry-run)
[[ $line == *", sunset at "*" - 00:30, in "* ]] || fail "dry run with offset: $line"

# Away from the equinoxes the sun is up at exactly one pole.
day=$(date -u +%j)
if [ $((10#$day)) -lt 73 ] || [ $((10#$day)) -gt 85 ] && { [ $((10#$day)) -lt 259 ] || [ $((10#$day)) -gt 271 ]; }; then
  run "$wine_exec" "$cli" is-up sun --lat 89.9 --lon 0; north=$?
  run "$wine_exec" "$cli" is-up sun --lat -89.9 --lon 0; south=$?
  [ $((north + south)) -eq 1 ] || fail "is-up at the poles: $north and $south"
fi
echo "cli_sky.sh: wait returned after $took s; dry run and is-up as expected"
