#!/usr/bin/env bash
# Compares `orbel-cli batch` with the golden record: the answers that a known
# build gave to a fixed list of queries, to the last bit of every azimuth.
#
#   check.sh QUERIES.gz EXPECTED.gz PROGRAM [ARGS...]
#
# PROGRAM ARGS starts the tool ("batch" is appended), for example
# build/default/cli/orbel-cli, or scripts/wine-exec --no-wait orbel-cli.exe.
# On a difference it prints the first differing line with its query, what was
# expected and what came, and how many lines differ.
set -uo pipefail

if [ $# -lt 3 ]; then
  sed -n '5p' "$0" >&2
  exit 2
fi
queries=$1 expected=$2
shift 2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

gzip -dc "$queries" >"$work/queries" && gzip -dc "$expected" >"$work/expected" || exit 1
# A Windows build ends its lines with CR LF.
"$@" batch <"$work/queries" | tr -d '\r' >"$work/seen"
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then
  echo "the tool exited with status $status"
  exit 1
fi
if cmp -s "$work/expected" "$work/seen"; then
  echo "$(wc -l <"$work/seen") lines, identical"
  exit 0
fi
paste -d '\n' "$work/queries" "$work/expected" "$work/seen" | awk '
  NR % 3 == 1 { query = $0 }
  NR % 3 == 2 { want = $0 }
  NR % 3 == 0 && $0 != want && ++differ == 1 {
    printf "line %d differs\n  query:    %s\n  expected: %s\n  seen:     %s\n", NR / 3, query, want, $0
  }
  END { printf "%d of %d lines differ\n", differ, NR / 3 }'
exit 1
