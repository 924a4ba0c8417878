#!/usr/bin/env bash
# Replays the command lines of CASES against orbel-cli and compares every
# line's exit status, standard output and standard error with the record.
#
#   replay.sh CASES RECORD.gz ORBEL_CLI          compare
#   replay.sh --write CASES RECORD.gz ORBEL_CLI  write the record anew
#
# Every line runs in bash with $CLI the program, the clock held at
# 2026-12-21 12:00:00 UTC by libfaketime (FAKETIME may be set on the line),
# TZ=UTC0 unless the line sets it, an empty settings folder (XDG_CONFIG_HOME;
# $SAVED is one where the window saved 33°52'S 151°12'E) and $OUT a folder for
# written files. On a difference it prints the first differing case.
set -uo pipefail

write=0
if [ "${1-}" = --write ]; then
  write=1
  shift
fi
if [ $# -ne 3 ]; then
  sed -n '5,6p' "$0" >&2
  exit 2
fi
cases=$1 record=$2 cli=$3
faketime=
for dir in /usr/lib/x86_64-linux-gnu/faketime /usr/lib/faketime /usr/lib/*/faketime; do
  [ -e "$dir/libfaketime.so.1" ] && faketime=$dir/libfaketime.so.1 && break
done
if [ -z "$faketime" ]; then
  echo "replay.sh: libfaketime is missing (package faketime)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/empty" "$work/saved/orbel" "$work/out"
# The clock is faked for the program only, not for the shell around it.
printf '#!/bin/sh\nLD_PRELOAD=%s FAKETIME_DISABLE_SHM=1 exec "%s" "$@"\n' "$faketime" "$cli" >"$work/cli"
chmod +x "$work/cli"
printf '[ORBEL32]\nLG=151\nLM=12\nLS=0\nBG=33\nBM=52\nBS=0\nEast=1\nNorth=0\n' \
  >"$work/saved/orbel/win.ini"

# One record per case: the line, the exit status, standard output and error.
# A case that runs past a minute ends with status 124 instead of hanging.
while IFS= read -r line; do
  case "$line" in '' | '#'*) continue ;; esac
  printf '=== %s\n' "$line"
  env -i PATH=/usr/bin:/bin LC_ALL=C TZ=UTC0 HOME="$work/empty" XDG_CONFIG_HOME="$work/empty" \
    CLI="$work/cli" SAVED="$work/saved" OUT="$work/out" \
    FAKETIME_FMT=%s FAKETIME=1797854400 FAKETIME_NO_CACHE=1 \
    timeout 60 bash -c "$line" </dev/null >"$work/stdout" 2>"$work/stderr"
  printf -- '--- status %d\n' $?
  cat "$work/stdout"
  printf -- '--- stderr\n'
  cat "$work/stderr"
  rm -rf "$work/out"/*
done <"$cases" | sed "s|$work|WORK|g" >"$work/seen"

if [ "$write" = 1 ]; then
  gzip -9n <"$work/seen" >"$record"
  echo "replay.sh: wrote $(grep -c '^=== ' "$work/seen") cases to $record"
  exit 0
fi
gzip -dc "$record" >"$work/expected" || exit 1
if cmp -s "$work/expected" "$work/seen"; then
  echo "replay.sh: $(grep -c '^=== ' "$work/seen") cases, identical"
  exit 0
fi
# The first case that differs, whole, as a diff, and how many differ.
awk -v dir="$work" '
  FNR == 1 { n = 0; file = FILENAME ~ /expected$/ ? "a" : "b" }
  /^=== / { ++n }
  { print > (dir "/" file "." n) }' "$work/expected" "$work/seen"
differ=0
for part in $(ls "$work" | sed -n 's/^[ab]\.//p' | sort -un); do
  touch "$work/a.$part" "$work/b.$part"
  if ! cmp -s "$work/a.$part" "$work/b.$part"; then
    [ "$differ" = 0 ] && diff -u --label expected --label seen "$work/a.$part" "$work/b.$part" | head -60
    differ=$((differ + 1))
    echo "differs: $(head -1 "$work/b.$part")" >>"$work/differing"
  fi
done
cat "$work/differing"
echo "replay.sh: $differ cases differ"
exit 1
