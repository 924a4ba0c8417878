#!/usr/bin/python3
"""Writes docs/performance.md from one run of each measurement (see
bench/run-all.sh, which runs them and then this script).

    write_performance.py --bench BENCH.json --before-bench BEFORE.json
                         --batch BATCH.json --before-batch BATCH.json
                         --pyephem PYEPHEM.json --table-process TABLE.json
                         --start START.txt --end END.txt --before-ref REF
                         --command CMD [--build-dir DIR] [--before-build-dir DIR]
"""
import argparse
import datetime
import json
import os
import platform
import re
import subprocess

# The benchmarks of each measure: this tree's name, then the earlier commit's
# names in the order they are tried (the day of a body was two text queries,
# one scan each, under the name of a pair).
MEASURES = {
    'sun': ('BM_SunDay_Orbel', ['BM_SunPair_Orbel', 'BM_SunDay_Orbel']),
    'moon': ('BM_MoonDay_Orbel', ['BM_MoonPair_Orbel', 'BM_MoonDay_Orbel']),
    'recompute': ('BM_RecomputeEvents', ['BM_RecomputeEvents']),
    'tick': ('BM_TimerTick', ['BM_TimerTick']),
    'table': ('BM_YearTable_Orbel', ['BM_YearTable_Orbel']),
}


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


def read_snapshot(path):
    """Load average, busy processor seconds of the machine, wall clock and the
    processor seconds of the script and its children (see run-all.sh)."""
    with open(path) as f:
        lines = f.read().splitlines()
    load = [float(v) for v in lines[0].split()[:3]]
    # user nice system idle iowait irq softirq steal: all but idle and iowait.
    ticks = [int(v) for v in lines[1].split()[1:9]]
    busy = (sum(ticks) - ticks[3] - ticks[4]) / os.sysconf('SC_CLK_TCK')
    wall = float(lines[2])
    own = sum(int(m) * 60 + float(s)
              for m, s in re.findall(r'(\d+)m([\d.]+)s', ' '.join(lines[3:5])))
    return {'load': load, 'busy': busy, 'wall': wall, 'own': own}


def package_version(name):
    try:
        return subprocess.run(['dpkg-query', '-W', '-f=${Version}', name], capture_output=True,
                              text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return 'unknown'


def commit_subject(ref):
    try:
        return subprocess.run(['git', 'log', '-1', '--format=%s', ref], capture_output=True,
                              text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return ''


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


def per_s(value):
    return '–' if value is None else '%.0f lines/s' % value


def times(r):
    if r is None:
        return '–'
    return '×%.0f' % r if r >= 10 else '×%.1f' % r


def quotient(a, b):
    return a / b if a is not None and b else None


def verdict(ok):
    return 'not measured' if ok is None else ('met' if ok else 'not met')


def at_most(value, limit):
    return None if value is None else value <= limit


def at_least(value, limit):
    return None if value is None else value >= limit


def batch_measure(batch, lines, jobs):
    for m in batch['measures']:
        if m['lines'] == lines and m['jobs'] == jobs:
            return m
    return None


def memory_text(batch, jobs):
    small, large = batch_measure(batch, 100000, jobs), batch_measure(batch, 1000000, jobs)
    if not small or not large or small['max_rss_kib'] is None or large['max_rss_kib'] is None:
        return None, None
    flat = (large['max_rss_kib'] <= small['max_rss_kib'] * 1.1 or
            large['max_rss_kib'] - small['max_rss_kib'] <= 1024)
    return '%.1f → %.1f MiB' % (small['max_rss_kib'] / 1024, large['max_rss_kib'] / 1024), flat


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--bench', required=True)
    parser.add_argument('--before-bench', required=True)
    parser.add_argument('--batch', required=True)
    parser.add_argument('--before-batch', required=True)
    parser.add_argument('--pyephem', required=True)
    parser.add_argument('--table-process', required=True)
    parser.add_argument('--start', required=True)
    parser.add_argument('--end', required=True)
    parser.add_argument('--before-ref', required=True)
    parser.add_argument('--command', required=True)
    parser.add_argument('--build-dir', default='build/default')
    parser.add_argument('--before-build-dir', default='build/before')
    args = parser.parse_args()

    context, b = benchmark_figures(args.bench)
    _, old = benchmark_figures(args.before_bench)
    with open(args.pyephem) as f:
        py = json.load(f)
    with open(args.batch) as f:
        batch = json.load(f)
    with open(args.before_batch) as f:
        before_batch = json.load(f)
    with open(args.table_process) as f:
        table_process = json.load(f)
    start, end = read_snapshot(args.start), read_snapshot(args.end)

    now = {key: b.get(name) for key, (name, _) in MEASURES.items()}
    before = {key: next((old[n] for n in names if n in old), None)
              for key, (_, names) in MEASURES.items()}

    nova_sun, nova_moon = b.get('BM_SunPair_Libnova'), b.get('BM_MoonPair_Libnova')
    py_sun, py_moon = py['sun_pair_us'], py['moon_pair_us']
    nova_both = nova_sun + nova_moon if nova_sun and nova_moon else None
    py_both = py_sun + py_moon
    nova = {'sun': nova_sun, 'moon': nova_moon, 'recompute': nova_both,
            'tick': 8 * nova_both if nova_both else None, 'table': b.get('BM_YearTable_Libnova')}
    pyeph = {'sun': py_sun, 'moon': py_moon, 'recompute': py_both, 'tick': 8 * py_both,
             'table': py['year_table_ms'] * 1000}

    # Batch throughput: lines per second of wall-clock time on 10^6 lines.
    one = batch_measure(batch, 1000000, 1)
    two = batch_measure(batch, 1000000, 2)
    if one is None:  # a build without --jobs: its default, counted as one job
        one = batch_measure(batch, 1000000, None)
    old_batch = batch_measure(before_batch, 1000000, None)
    one_s = one['lines_per_second'] if one else None
    two_s = two['lines_per_second'] if two else None
    old_s = old_batch['lines_per_second'] if old_batch else None
    nova_lines = 1e6 / nova_both if nova_both else None
    py_lines = 1e6 / py_both
    one_gain, two_gain = quotient(one_s, old_s), quotient(two_s, one_s)

    def time_row(name, key, target, limit):
        ours = now[key]
        return '| %s | %s | %s | %s (%s) | %s | %s (%s) | %s (%s) |' % (
            name, us(before[key]), us(ours), target, verdict(at_most(ours, limit)),
            times(quotient(before[key], ours)), us(nova[key]), times(quotient(nova[key], ours)),
            us(pyeph[key]), times(quotient(pyeph[key], ours)))

    def peer_lines(ours):
        return '%s (%s) | %s (%s)' % (per_s(nova_lines), times(quotient(ours, nova_lines)),
                                      per_s(py_lines), times(quotient(ours, py_lines)))

    rows = [
        time_row('Sun: rise and set of a day', 'sun', '≤ 0.9 µs', 0.9),
        time_row('Moon: rise and set of a day', 'moon', '≤ 1.7 µs', 1.7),
        time_row('`RecomputeEvents` (four results)', 'recompute', '≤ 10 µs', 10),
        time_row('Timer tick in system-time mode', 'tick', '≤ 200 µs', 200),
        time_row('Year table (365 days, text)', 'table', '≤ 2 ms', 2000),
        '| `orbel-cli batch`, one job, 10⁶ lines | %s | %s | ≥ 5× before (%s) | %s | %s |' % (
            per_s(old_s), per_s(one_s), verdict(at_least(one_gain, 5)), times(one_gain),
            peer_lines(one_s)),
        '| `orbel-cli batch`, two jobs, 10⁶ lines | – | %s | ≥ 1.6× one job (%s, %s) | %s | %s |'
        % (per_s(two_s), times(two_gain), verdict(at_least(two_gain, 1.6)),
           times(quotient(two_s, old_s)), peer_lines(two_s)),
    ]
    old_memory, _ = memory_text(before_batch, None)
    memory, flats = [], []
    for jobs in (1, 2):
        text, flat = memory_text(batch, jobs)
        if text:
            memory.append('%s: %s' % ('one job' if jobs == 1 else 'two jobs', text))
            flats.append(flat)
    if not memory:
        text, flat = memory_text(batch, None)
        if text:
            memory.append(text)
            flats.append(flat)
    rows.append('| `orbel-cli batch`, peak memory, 10⁵ → 10⁶ lines | %s | %s | flat (%s) | | | |'
                % (old_memory or '–', '; '.join(memory) or '–',
                   verdict(all(flats) if flats else None)))
    def long_line_text(measures):
        peaks = [m for m in measures if m['max_rss_kib'] is not None]
        return '; '.join('%s%.1f MiB' % ('' if m['jobs'] is None else
                                         ('one job: ' if m['jobs'] == 1 else 'two jobs: '),
                                         m['max_rss_kib'] / 1024) for m in peaks) or '–'

    long_now = batch.get('long_line', [])
    long_met = all(m['max_rss_kib'] is not None and m['max_rss_kib'] <= 64 * 1024
                   for m in long_now) if long_now else None
    rows.append('| `orbel-cli batch`, peak memory, one line of %s | %s | %s | ≤ 64 MiB (%s) | | | |'
                % ('1 GiB' if not long_now or long_now[0]['bytes'] == 1 << 30
                   else '%d bytes' % long_now[0]['bytes'],
                   long_line_text(before_batch.get('long_line', [])), long_line_text(long_now),
                   verdict(long_met)))
    rows.append('| Moon phases of a year (2026, 50 instants) | – | %s | | | | |'
                % us(b.get('BM_YearPhases_Orbel')))

    today = datetime.date.today().isoformat()
    subject = commit_subject(args.before_ref)
    out = []
    out.append('# Performance')
    out.append('')
    out.append('Figures from one run of `%s` on %s: this tree ("now") and commit %s '
               '("before") measured one after the other. Each C++ figure is the median '
               'processor time of five repetitions in one run of a benchmark program '
               '(`%s/bench/engine_bench` and `%s/bench/engine_bench`, Google Benchmark); the '
               'PyEphem figures come from `bench/pyephem_bench.py`, the batch figures from '
               '`bench/batch_throughput.py`. The script rewrites this file.' % (
                   args.command, today, args.before_ref, args.build_dir,
                   args.before_build_dir))
    out.append('')
    span = end['wall'] - start['wall']
    other = max(0.0, ((end['busy'] - start['busy']) - (end['own'] - start['own'])) / span)
    # Other processes busy for less than a tenth of a processor on average
    # leave the figures as on an idle machine.
    sharing = ('no other work ran' if other < 0.1 else
               'other work shared the machine: on average %.2f processors busy besides the '
               'measurements' % other)
    out.append('Machine: %s, %s logical CPUs, load average %s at the start of the '
               'measurements and %s at their end, %.0f s later (%s); RelWithDebInfo builds '
               '(-O2) as in the default preset; libnova %s; PyEphem %s (Debian packages).' % (
                   cpu_model(), context.get('num_cpus', '?'),
                   ', '.join('%.2f' % v for v in start['load']),
                   ', '.join('%.2f' % v for v in end['load']), span, sharing,
                   package_version('libnova-dev'), py.get('pyephem_version', '?')))
    out.append('')
    out.append('| Measure | Before | Now | Target | Speed-up | libnova | PyEphem |')
    out.append('|---|---:|---:|---|---:|---:|---:|')
    out.extend(rows)
    out.append('')
    out.append('Speed-up is the time before divided by the time now (for the batch: lines per '
               'second now divided by before). A peer\'s ×N says how many times as long the '
               'peer takes for the same work as Orbel now (for the batch: how many times as '
               'many lines Orbel handles per second).')
    out.append('')
    out.append('## What is measured')
    out.append('')
    out.append('- **Before**: commit %s%s, checked out by `bench/build_before.sh` as a git '
               'worktree in `build/before-src` and built in `%s` with the default preset\'s '
               'flags (`ORBEL_BEFORE_REF` names another commit). Its benchmarks had other '
               'names; `bench/write_performance.py` maps them to the measures.' % (
                   args.before_ref, ' ("%s")' % subject if subject else '',
                   args.before_build_dir))
    out.append('- **Sun and moon**: the sixteen dates and places of `bench/cases.txt` in turn '
               '(mid and high latitudes both hemispheres, midnight sun and polar night at '
               'Tromsø, Longyearbyen, McMurdo). Now: one `SunDay` (`MoonDay`) call, one scan '
               'of the body\'s day that gives rise, set and every crossing (`BM_SunDay_Orbel`, '
               '`BM_MoonDay_Orbel`). Before: `SunriseText` + `SunsetText` (`MoonriseText` + '
               '`MoonsetText`), two full-day scans (`BM_SunPair_Orbel`, `BM_MoonPair_Orbel`). '
               'libnova\'s pair is one `ln_get_solar_rst` (`ln_get_lunar_rst`) call from local '
               'midnight, which gives rise and set together. PyEphem\'s pair is '
               '`Observer.next_rising` + `next_setting` from local midnight with horizon '
               '`-0:34` and pressure 0.')
    dialog_queries = b.get('BM_DialogTextQueries')
    out.append('- **`RecomputeEvents`**: the main dialog on the headless stand-in layer, opened '
               'with an empty profile (built-in place, system-time mode); one call reads the '
               'fields and writes the four results. It still asks the four text queries, one '
               'scan each, before and now; the four queries alone take %s now '
               '(`BM_DialogTextQueries`). The peers\' figure is their sun pair plus moon pair, '
               'the same four events.' % us(dialog_queries))
    out.append('- **Timer tick**: `standin::Perform(dialog, Input::FireTimer(IDT_CLOCK))` with '
               'the injected clock one second later each time: the status-bar clock, the phase '
               'picture, and the zone and date field writes. Each of the four writes notifies '
               'the dialog twice (EN_UPDATE and EN_CHANGE) and every notification recomputes, '
               'so a tick runs eight recomputations; the peers\' figure is eight sun+moon pairs.')
    out.append('- **Year table**: what `orbel-cli table --year 2026 --lat 52.52 --lon 13.405 '
               '--zone -1` does in process (`ComputeDay` for each day of `DatesOfYear`, then '
               '`WriteTableText` into a string). Now `ComputeDay` scans each body once; before, '
               'it called the sixteen query functions, each a full scan. The whole process, '
               'start-up and output included, took %.1f ms now and %.1f ms before (mean wall '
               'time of 10 runs). The peers compute the same 365 sun and moon pairs without '
               'text.' % (table_process['now_ms'], table_process['before_ms']))
    batch_notes = []
    for label, m in (('now with one job', one), ('now with two jobs', two),
                     ('before', old_batch)):
        if m:
            batch_notes.append('%s %.2f s wall and %.2f s of processor time (%.0f lines per '
                               'processor second)' % (label, m['wall_seconds'], m['cpu_seconds'],
                                                      m['cpu_lines_per_second'] or 0))
    runs = one['runs'] if one else 0
    jobs_note = ('with `--jobs 1` and `--jobs 2`' if two else
                 'with its default (this `orbel-cli` has no `--jobs` option)')
    out.append('- **Batch**: `bench/batch_throughput.py` generates 100000 and 1000000 lines '
               '(the sixteen places over changing dates) and runs `orbel-cli batch` %s from a '
               'file into a file; the same files go to the before build, whose `orbel-cli '
               'batch` has one thread and no `--jobs`. A figure is lines per second of '
               'wall-clock time for the whole process, start-up included, %s; for 10⁶ '
               'lines: %s. Now every line makes one scan of each body (`SunDay`, '
               '`MoonDay`) and `MoonAge`; computing one line\'s results in process takes %s '
               '(`BM_BatchLine_Orbel`). Before, every line called the sixteen query functions, '
               'each a full scan. Two jobs run two threads that answer chunks of lines while '
               'the main thread reads and another writes, on a machine of two processors. '
               'Peak memory is the largest resident set size of the runs (`/usr/bin/time`). '
               'The peers\' figure is one sun+moon pair per line, computing only.' % (
                   jobs_note, 'one run' if runs == 1 else 'the median of %d runs' % runs,
                   '; '.join(batch_notes),
                   us(b.get('BM_BatchLine_Orbel'))))
    out.append('- **Moon phases of a year**: every new moon, first quarter, full moon and last '
               'quarter of 2026 through `NextPrincipalPhase`, each search started a day after '
               'the last one found, then sorted (`BM_YearPhases_Orbel`). No peer figure.')
    out.append('')
    out.append('libnova is a benchmark-only dependency: `bench/CMakeLists.txt` finds it with '
               '`find_library` and leaves its benchmarks out when it is missing; the program '
               'and `orbel-cli` never link it. The benchmarks are not timed tests: CTest only '
               'runs the benchmark program once briefly (`bench.smoke`) to show it works.')
    out.append('')
    out.append('## Reproduce')
    out.append('')
    out.append('    scripts/install-deps --bench   # libnova-dev, python3-ephem')
    out.append('    bench/run-all.sh               # builds the default preset and the before '
               'commit, rewrites this file')
    out.append('    ORBEL_BEFORE_REF=<commit> bench/run-all.sh     # against another commit')
    out.append('    ORBEL_BUILD_DIR=build/other bench/run-all.sh   # or with another configured '
               'build')
    out.append('')
    out.append('or the parts one by one (the peak memory needs `/usr/bin/time`, Debian package '
               '`time`):')
    out.append('')
    out.append('    build/default/bench/engine_bench --benchmark_repetitions=5 '
               '--benchmark_report_aggregates_only=true')
    out.append('    bench/build_before.sh          # prints build/before')
    out.append('    build/before/bench/engine_bench --benchmark_repetitions=5 '
               '--benchmark_report_aggregates_only=true')
    out.append('    bench/pyephem_bench.py')
    out.append('    bench/batch_throughput.py --jobs 1,2 build/default/cli/orbel-cli')
    out.append('    bench/batch_throughput.py build/before/cli/orbel-cli')
    print('\n'.join(out))


if __name__ == '__main__':
    main()
