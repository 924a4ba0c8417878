#!/usr/bin/env bash
# Measures every figure of docs/performance.md in one run and rewrites it: the
# benchmark program of this tree (one body's day side by side with libnova,
# the dialog, the year table; five repetitions, medians) and the same measures
# of an earlier commit ("before"), PyEphem on the same cases, the process time
# of `orbel-cli table`, and `orbel-cli batch` throughput (wall clock, one and
# two jobs) and memory for both builds on the same input.
#
#   bench/run-all.sh [--out FILE]    FILE "-" writes to standard output
#
# Builds the default preset first (build/default); ORBEL_BUILD_DIR names
# another build folder that is already configured. The earlier commit is
# ORBEL_BEFORE_REF (default b831ca2), built by bench/build_before.sh in
# build/before from a worktree in build/before-src (reused when present).
# ORBEL_BATCH_RUNS sets the runs per batch measure (default 3, the median).
set -euo pipefail
cd "$(dirname "$0")/.."

out=docs/performance.md
while [ $# -gt 0 ]; do
  case "$1" in
    --out) out=$2; shift 2 ;;
    -h|--help) sed -n '2,16p' "$0"; exit 0 ;;
    *) echo "run-all: unknown option '$1'" >&2; exit 2 ;;
  esac
done

python=/usr/bin/python3  # Debian's, which has python3-ephem
before_ref=${ORBEL_BEFORE_REF:-b831ca2}
batch_runs=${ORBEL_BATCH_RUNS:-3}
build=${ORBEL_BUILD_DIR:-}
if [ -z "$build" ]; then
  cmake --preset default >/dev/null
  build=build/default
fi
echo "run-all: building engine_bench and orbel-cli in $build" >&2
cmake --build "$build" --target engine_bench orbel-cli >/dev/null
before=$(bench/build_before.sh "$before_ref")
before_commit=$(git rev-parse --short "$before_ref^{commit}")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The load average, the machine's busy processor time, the wall clock and the
# processor time of this script's children: at the start and at the end of the
# measurements, so that the report can say how much other work ran meanwhile.
# (`times` must run in this shell, not in a subshell.)
snapshot() { { cat /proc/loadavg; head -1 /proc/stat; date +%s.%N; times; } >"$1"; }
snapshot "$work/start.txt"

# The benchmarks of the earlier commit under the names they had there.
before_filter='^BM_(SunPair_Orbel|MoonPair_Orbel|SunDay_Orbel|MoonDay_Orbel|YearTable_Orbel'
before_filter+='|RecomputeEvents|TimerTick)$'

echo "run-all: benchmark program" >&2
"$build/bench/engine_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/bench.json" --benchmark_out_format=json >&2

echo "run-all: benchmark program of $before_ref" >&2
"$before/bench/engine_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_filter="$before_filter" \
  --benchmark_out="$work/before.json" --benchmark_out_format=json >&2

echo "run-all: PyEphem" >&2
"$python" bench/pyephem_bench.py >"$work/pyephem.json"

echo "run-all: orbel-cli table as a process" >&2
"$python" - "$build/cli/orbel-cli" "$before/cli/orbel-cli" >"$work/table.json" <<'PY'
import json, subprocess, sys, time
def mean_ms(cli):
    cmd = [cli, 'table', '--year', '2026', '--lat', '52.52', '--lon', '13.405', '--zone', '-1']
    runs = []
    for _ in range(10):
        start = time.perf_counter()
        subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)
        runs.append(time.perf_counter() - start)
    return sum(runs) / len(runs) * 1000
json.dump({'now_ms': mean_ms(sys.argv[1]), 'before_ms': mean_ms(sys.argv[2])}, sys.stdout)
PY

echo "run-all: orbel-cli batch" >&2
mkdir "$work/input"
help=$("$build/cli/orbel-cli" batch --help)
jobs=()
if [[ $help == *--jobs* ]]; then
  jobs=(--jobs "1,2")
else
  echo "run-all: $build/cli/orbel-cli batch has no --jobs: measured with its default only" >&2
fi
"$python" bench/batch_throughput.py --runs "$batch_runs" --input-dir "$work/input" "${jobs[@]}" \
  "$build/cli/orbel-cli" >"$work/batch.json"
echo "run-all: orbel-cli batch of $before_ref" >&2
"$python" bench/batch_throughput.py --runs "$batch_runs" --input-dir "$work/input" \
  "$before/cli/orbel-cli" >"$work/batch-before.json"

snapshot "$work/end.txt"

report=$("$python" bench/write_performance.py --bench "$work/bench.json" \
  --before-bench "$work/before.json" --before-batch "$work/batch-before.json" \
  --before-ref "$before_commit" --pyephem "$work/pyephem.json" --batch "$work/batch.json" \
  --table-process "$work/table.json" --start "$work/start.txt" --end "$work/end.txt" \
  --command "bench/run-all.sh" --build-dir "$build" --before-build-dir "$before")
if [ "$out" = "-" ]; then
  printf '%s\n' "$report"
else
  printf '%s\n' "$report" >"$out"
  echo "run-all: wrote $out" >&2
fi
