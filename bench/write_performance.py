#!/usr/bin/python3
"""Writes docs/performance.md from one run of each measurement (see
bench/run-all.sh, which runs them and then this script).

    write_performance.py --bench BENCH.json --pyephem PYEPHEM.json
                         --batch BATCH.json --table-process-ms MS --command CMD
"""
import argparse
import datetime
import json
import os
import platform
import subprocess


def benchmark_figures(path):
    """Median CPU time per iteration of each benchmark, in microseconds."""
    with open(path) as f:
        data = json.load(f)
    scale = {'ns': 1e-3, 'us': 1.0, 'ms': 1e3, 's': 1e6}
    figures = {}
    for b in data['benchmarks']:
        if b.get('run_type') == 'aggregate' and b.get('aggregate_name') != 'median':
            continue
        if b.get('error_occurred'):
            continue
        name = b.get('run_name', b['name'])
        figures[name] = b['cpu_time'] * scale[b['time_unit']]
    return data['context'], figures


def package_version(name):
    try:
        return subprocess.run(['dpkg-query', '-W', '-f=${Version}', name], capture_output=True,
                              text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return 'unknown'


def cpu_model():
    try:
        with open('/proc/cpuinfo') as f:
            for line in f:
                if line.startswith('model name'):
                    return line.split(':', 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or 'unknown'


def us(value):
    if value is None:
        return '–'
    if value >= 1e6:
        return '%.3g s' % (value / 1e6)
    if value >= 1000:
        return '%.3g ms' % (value / 1000)
    return '%.3g µs' % value


def ratio(peer, ours):
    """How many times the peer's time ours is: '×12' means 12 times faster."""
    if peer is None or ours is None or ours <= 0:
        return '–'
    r = peer / ours
    return '×%.0f' % r if r >= 10 else '×%.1f' % r


def verdict(value, limit):
    return 'met' if value is not None and value <= limit else 'missed'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--bench', required=True)
    parser.add_argument('--pyephem', required=True)
    parser.add_argument('--batch', required=True)
    parser.add_argument('--table-process-ms', type=float, required=True)
    parser.add_argument('--command', required=True)
    parser.add_argument('--build-dir', default='build/default')
    args = parser.parse_args()

    context, b = benchmark_figures(args.bench)
    with open(args.pyephem) as f:
        py = json.load(f)
    with open(args.batch) as f:
        batch = json.load(f)

    sun, moon = b.get('BM_SunPair_Orbel'), b.get('BM_MoonPair_Orbel')
    nova_sun, nova_moon = b.get('BM_SunPair_Libnova'), b.get('BM_MoonPair_Libnova')
    py_sun, py_moon = py['sun_pair_us'], py['moon_pair_us']
    nova_both = nova_sun + nova_moon if nova_sun and nova_moon else None
    py_both = py_sun + py_moon
    recompute, tick = b.get('BM_RecomputeEvents'), b.get('BM_TimerTick')
    table = b.get('BM_YearTable_Orbel')
    nova_table = b.get('BM_YearTable_Libnova')
    py_table = py['year_table_ms'] * 1000
    small, large = batch['runs']
    lines_per_s = large['lines_per_second']
    nova_lines = 1e6 / nova_both if nova_both else None
    py_lines = 1e6 / py_both

    def row(name, ours, target, limit, nova, pyeph):
        return '| %s | %s | %s (%s) | %s | %s | %s | %s |' % (
            name, us(ours), target, verdict(ours, limit), us(nova), ratio(nova, ours), us(pyeph),
            ratio(pyeph, ours))

    rows = [
        row('Sun rise+set pair', sun, '≤ 2 µs', 2, nova_sun, py_sun),
        row('Moon rise+set pair', moon, '≤ 6 µs', 6, nova_moon, py_moon),
        row('`RecomputeEvents` (four results)', recompute, '≤ 10 µs', 10, nova_both, py_both),
        row('Timer tick in system-time mode', tick, '≤ 200 µs', 200,
            8 * nova_both if nova_both else None, 8 * py_both),
        row('Year table (365 days, text)', table, '≤ 50 ms', 50000, nova_table, py_table),
    ]
    batch_row = '| `orbel-cli batch`, 10⁶ lines | %.0f lines/s | – | %s | %s | %s | %s |' % (
        lines_per_s, '%.0f lines/s' % nova_lines if nova_lines else '–',
        ratio(lines_per_s, nova_lines) if nova_lines else '–', '%.0f lines/s' % py_lines,
        ratio(lines_per_s, py_lines))
    memory_row = ('| `orbel-cli batch`, peak memory | %.1f MiB for 10⁵ lines, %.1f MiB for 10⁶ '
                  'lines | flat (%s) | | | | |' % (
                      small['max_rss_kib'] / 1024, large['max_rss_kib'] / 1024,
                      'met' if batch['memory_flat'] else 'missed'))

    today = datetime.date.today().isoformat()
    out = []
    out.append('# Performance')
    out.append('')
    out.append('Figures from one run of `%s` on %s. Each C++ figure is the median processor '
               'time of five repetitions in one run of the benchmark program '
               '(`%s/bench/engine_bench`, Google Benchmark); the PyEphem figures come '
               'from `bench/pyephem_bench.py`, the batch figures from '
               '`bench/batch_throughput.sh`. The script rewrites this file.' % (
                   args.command, today, args.build_dir))
    out.append('')
    load = context.get('load_avg', [])
    # A one-minute load below one CPU's worth means nothing else ran at length.
    sharing = ('other work shared the machine' if load and load[0] >= 1.0
               else 'no other work ran')
    out.append('Machine: %s, %s logical CPUs, load average %s at the start of the run '
               '(%s); %s; libnova %s; PyEphem %s (Debian packages).'
               % (cpu_model(), context.get('num_cpus', '?'),
                  ', '.join('%.2f' % v for v in load) or '?', sharing,
                  'RelWithDebInfo build (-O2) as in the default preset', package_version('libnova-dev'),
                  py.get('pyephem_version', '?')))
    out.append('')
    out.append('| Measure | Orbel | Target | libnova | libnova ÷ Orbel | PyEphem | PyEphem ÷ Orbel |')
    out.append('|---|---:|---|---:|---:|---:|---:|')
    out.extend(rows)
    out.append(batch_row)
    out.append(memory_row)
    out.append('')
    out.append('A ratio ×N means the peer takes N times as long for the same work as Orbel '
               '(for the batch: Orbel handles N times as many lines per second).')
    out.append('')
    if sun is not None and sun > 2:
        out.append('The sun pair misses its target: it is two text queries, each a full scan of '
                   'the day in 24 hourly steps, and about 60 % of its time goes to the engine\'s '
                   'portable sine, cosine and arctangent (`engine/portable_math.cpp`, used so '
                   'that every build computes the same bits; measured with `perf record`).')
        out.append('')
    out.append('## What is measured')
    out.append('')
    out.append('- **Pairs**: the sixteen dates and places of `bench/cases.txt` in turn (mid and '
               'high latitudes both hemispheres, midnight sun and polar night at Tromsø, '
               'Longyearbyen, McMurdo). Orbel\'s pair is `SunriseText` + `SunsetText` '
               '(`MoonriseText` + `MoonsetText`), two full-day scans as the dialog makes them. '
               'libnova\'s pair is one `ln_get_solar_rst` (`ln_get_lunar_rst`) call from local '
               'midnight, which gives rise and set together. PyEphem\'s pair is '
               '`Observer.next_rising` + `next_setting` from local midnight with horizon '
               '`-0:34` and pressure 0.')
    out.append('- **`RecomputeEvents`**: the main dialog on the headless stand-in layer, opened '
               'with an empty profile (built-in place, system-time mode); one call reads the '
               'fields and writes the four results. The peers\' figure is their sun pair plus '
               'moon pair, the same four events.')
    out.append('- **Timer tick**: `standin::Perform(dialog, Input::FireTimer(IDT_CLOCK))` with '
               'the injected clock one second later each time: the status-bar clock, the phase '
               'picture, and the zone and date field writes. Each of the four writes notifies '
               'the dialog twice (EN_UPDATE and EN_CHANGE) and every notification recomputes, '
               'so a tick runs eight recomputations; the peers\' figure is eight sun+moon pairs.')
    out.append('- **Year table**: what `orbel-cli table --year 2026 --lat 52.52 --lon 13.405 '
               '--zone -1` does in process (`ComputeDay` for each day of `DatesOfYear`, then '
               '`WriteTableText` into a string). The whole process, start-up and output '
               'included, took %.1f ms (mean wall time of 10 runs). The peers compute the same '
               '365 sun and moon pairs without text.' % args.table_process_ms)
    out.append('- **Batch**: `bench/batch_throughput.sh` feeds %d and %d generated lines (the '
               'sixteen places over changing dates) to `orbel-cli batch` under `/usr/bin/time '
               '-v`: %.0f and %.0f lines per processor second (%.1f s and %.1f s wall), peak '
               'resident memory %d KiB and %d KiB. Every line makes sixteen engine queries, '
               'each a full-day scan; the peers\' figure is one sun+moon pair per line, '
               'computing only.' % (
                   small['lines'], large['lines'], small['lines_per_second'],
                   large['lines_per_second'], small['wall_seconds'], large['wall_seconds'],
                   small['max_rss_kib'], large['max_rss_kib']))
    out.append('')
    out.append('libnova is a benchmark-only dependency: `bench/CMakeLists.txt` finds it with '
               '`find_library` and leaves its benchmarks out when it is missing; the program '
               'and `orbel-cli` never link it. The benchmarks are not timed tests: CTest only '
               'runs the benchmark program once briefly (`bench.smoke`) to show it works.')
    out.append('')
    out.append('## Reproduce')
    out.append('')
    out.append('    sudo scripts/install-deps --bench   # libnova-dev, python3-ephem')
    out.append('    bench/run-all.sh                    # builds the default preset, rewrites this file')
    out.append('    ORBEL_BUILD_DIR=build/other bench/run-all.sh   # or with another configured build')
    out.append('')
    out.append('or the parts one by one:')
    out.append('')
    out.append('    build/default/bench/engine_bench --benchmark_repetitions=5 '
               '--benchmark_report_aggregates_only=true')
    out.append('    bench/pyephem_bench.py')
    out.append('    bench/batch_throughput.sh build/default/cli/orbel-cli')
    print('\n'.join(out))


if __name__ == '__main__':
    main()
