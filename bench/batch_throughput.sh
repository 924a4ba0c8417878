#!/usr/bin/env bash
# Throughput and peak memory of `orbel-cli batch`: generates 10^5 and 10^6
# query lines (the sixteen places of bench/cases.txt over changing dates), runs
# the tool on each under /usr/bin/time -v and prints one JSON object: lines per
# second of processor time (user + system, as the other figures, so other loads
# on the machine count less), wall-clock seconds, maximum resident set size per
# run, and whether the memory stayed flat (the 10^6 run within 10 % or 1 MiB of
# the 10^5 run).
#
#   bench/batch_throughput.sh [ORBEL_CLI]     default: build/default/cli/orbel-cli
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cli=${1:-$here/../build/default/cli/orbel-cli}
[ -x "$cli" ] || { echo "batch_throughput: no orbel-cli at $cli" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "batch_throughput: needs /usr/bin/time (Debian: time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Line i: place i mod 16, day 1-28, month 1-12, year 1990-2039.
make_lines() {
  awk -v n="$1" '
    BEGIN { k = 0 }
    !/^#/ && NF == 6 { lat[k] = $4; lon[k] = $5; zone[k] = $6; k++ }
    END {
      for (i = 0; i < n; i++) {
        p = i % k
        printf "%d %d %d %s %s %s\n", i % 28 + 1, int(i / 28) % 12 + 1, 1990 + int(i / 336) % 50,
               lat[p], lon[p], zone[p]
      }
    }' "$here/cases.txt"
}

run() {
  local lines=$1
  make_lines "$lines" >"$work/in.txt"
  if ! /usr/bin/time -v -o "$work/time.txt" "$cli" batch <"$work/in.txt" >"$work/out.txt" \
    2>"$work/err.txt"; then
    echo "batch_throughput: orbel-cli batch failed on $lines lines:" >&2
    head -5 "$work/err.txt" >&2
    exit 1
  fi
  local out_lines
  out_lines=$(wc -l <"$work/out.txt")
  [ "$out_lines" -eq "$lines" ] || { echo "batch_throughput: $out_lines result lines for $lines" >&2; exit 1; }
  awk -v lines="$lines" '
    /User time \(seconds\)/ { cpu += $NF }
    /System time \(seconds\)/ { cpu += $NF }
    /Elapsed \(wall clock\)/ {
      n = split($NF, t, ":"); wall = 0
      for (i = 1; i <= n; i++) wall = wall * 60 + t[i]
    }
    /Maximum resident set size/ { rss = $NF }
    END {
      printf "{\"lines\": %d, \"cpu_seconds\": %.3f, \"wall_seconds\": %.3f, ", lines, cpu, wall
      printf "\"lines_per_second\": %.0f, \"max_rss_kib\": %d}", lines / cpu, rss
    }
  ' "$work/time.txt"
}

small=$(run 100000)
large=$(run 1000000)
rss_small=$(sed 's/.*"max_rss_kib": \([0-9]*\).*/\1/' <<<"$small")
rss_large=$(sed 's/.*"max_rss_kib": \([0-9]*\).*/\1/' <<<"$large")
flat=$(awk -v a="$rss_small" -v b="$rss_large" 'BEGIN { print (b <= a * 1.1 || b - a <= 1024) ? "true" : "false" }')
printf '{"runs": [%s, %s], "memory_flat": %s}\n' "$small" "$large" "$flat"
