#!/usr/bin/env bash
# Measures every figure of docs/performance.md in one run each and rewrites it:
# the benchmark program (engine, pairs side by side with libnova, dialog, year
# table; five repetitions, medians), PyEphem on the same cases, the process
# time of `orbel-cli table`, and `orbel-cli batch` throughput and memory.
#
#   bench/run-all.sh [--out FILE]    FILE "-" writes to standard output
#
# Builds the default preset first (build/default); ORBEL_BUILD_DIR names
# another build folder that is already configured.
set -euo pipefail
cd "$(dirname "$0")/.."

out=docs/performance.md
while [ $# -gt 0 ]; do
  case "$1" in
    --out) out=$2; shift 2 ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) echo "run-all: unknown option '$1'" >&2; exit 2 ;;
  esac
done

python=/usr/bin/python3  # Debian's, which has python3-ephem
build=${ORBEL_BUILD_DIR:-}
if [ -z "$build" ]; then
  cmake --preset default >/dev/null
  build=build/default
fi
cmake --build "$build" --target engine_bench orbel-cli >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "run-all: benchmark program" >&2
"$build/bench/engine_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/bench.json" --benchmark_out_format=json >&2

echo "run-all: PyEphem" >&2
"$python" bench/pyephem_bench.py >"$work/pyephem.json"

echo "run-all: orbel-cli table as a process" >&2
table_ms=$("$python" - "$build/cli/orbel-cli" <<'PY'
import subprocess, sys, time
cmd = [sys.argv[1], 'table', '--year', '2026', '--lat', '52.52', '--lon', '13.405', '--zone', '-1']
runs = []
for _ in range(10):
    start = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)
    runs.append(time.perf_counter() - start)
print('%.3f' % (sum(runs) / len(runs) * 1000))
PY
)

echo "run-all: orbel-cli batch" >&2
bench/batch_throughput.sh "$build/cli/orbel-cli" >"$work/batch.json"

report=$("$python" bench/write_performance.py --bench "$work/bench.json" \
  --pyephem "$work/pyephem.json" --batch "$work/batch.json" --table-process-ms "$table_ms" \
  --command "bench/run-all.sh" --build-dir "$build")
if [ "$out" = "-" ]; then
  printf '%s\n' "$report"
else
  printf '%s\n' "$report" >"$out"
  echo "run-all: wrote $out" >&2
fi
