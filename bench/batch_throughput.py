#!/usr/bin/python3
"""Throughput and peak memory of `orbel-cli batch` in wall-clock time.

Generates query lines (the sixteen places of bench/cases.txt over changing
dates: line i is place i mod 16 on day i mod 28 + 1 of a month and year that
change every 28 and 336 lines), feeds each file to `orbel-cli batch` from a
file into a file, and times the whole process, start-up included. Every
measure is the median of --runs runs; it reports lines per second of wall-clock
time, the processor time of the same run, and the largest resident set size of
any of the runs (measured with /usr/bin/time, Debian package time; left out
without it). Prints one JSON object.

    bench/batch_throughput.py [--lines 100000,1000000] [--jobs 1,2] [--runs 3]
                              [--input-dir DIR] [ORBEL_CLI]

Without --jobs the tool runs without that option (a build that has none, or
its own default). --input-dir keeps the generated files there (and reuses them)
so that two builds can be measured on the same input.
"""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
HAVE_TIME = os.access('/usr/bin/time', os.X_OK)  # Debian: time


def read_places(path):
    places = []
    with open(path) as f:
        for line in f:
            fields = line.split('#', 1)[0].split()
            if len(fields) == 6:
                places.append(' '.join(fields[3:]))
    return places


def write_lines(path, count, places):
    """The generated input of `count` lines, written once and reused."""
    if os.path.exists(path):
        return
    with open(path + '.part', 'w') as f:
        for i in range(count):
            f.write('%d %d %d %s\n' % (i % 28 + 1, i // 28 % 12 + 1, 1990 + i // 336 % 50,
                                       places[i % len(places)]))
    os.replace(path + '.part', path)


def count_lines(path):
    count = 0
    with open(path, 'rb') as f:
        while True:
            block = f.read(1 << 20)
            if not block:
                return count
            count += block.count(b'\n')


def run_once(command, source, work):
    """Wall seconds, processor seconds, peak resident KiB (None without
    /usr/bin/time) and result lines of one run."""
    result, errors = os.path.join(work, 'out.txt'), os.path.join(work, 'err.txt')
    peak = os.path.join(work, 'peak.txt')
    # The peak memory comes from /usr/bin/time: a child of this script would
    # count the interpreter's own memory, which it had until it started the tool.
    timed = ['/usr/bin/time', '-f', '%M', '-o', peak] + command if HAVE_TIME else command
    with open(source, 'rb') as stdin, open(result, 'wb') as stdout, open(errors, 'wb') as stderr:
        start = time.perf_counter()
        child = subprocess.Popen(timed, stdin=stdin, stdout=stdout, stderr=stderr)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        with open(errors, errors='replace') as f:
            detail = f.read(500)
        sys.exit('batch_throughput: %s failed (exit %d): %s' % (' '.join(command),
                                                                 child.returncode, detail))
    rss = None
    if HAVE_TIME:
        with open(peak) as f:
            rss = int(f.read().split()[-1])
    return wall, usage.ru_utime + usage.ru_stime, rss, count_lines(result)


def measure(cli, jobs, lines, source, runs, work):
    command = [cli, 'batch'] + ([] if jobs is None else ['--jobs', str(jobs)])
    results = []
    for _ in range(runs):
        wall, cpu, rss, out_lines = run_once(command, source, work)
        if out_lines != lines:
            sys.exit('batch_throughput: %d result lines for %d' % (out_lines, lines))
        results.append((wall, cpu, rss))
    results.sort()
    wall, cpu, _ = results[len(results) // 2]
    return {
        'lines': lines,
        'jobs': jobs,
        'runs': runs,
        'wall_seconds': round(wall, 4),
        'wall_seconds_all': [round(r[0], 4) for r in results],
        'cpu_seconds': round(cpu, 4),
        'lines_per_second': round(lines / wall),
        'cpu_lines_per_second': round(lines / cpu) if cpu > 0 else None,
        'max_rss_kib': max(r[2] for r in results) if HAVE_TIME else None,
    }


def long_line_peak(cli, jobs, size):
    """Peak resident KiB of a batch whose input is one line of `size` bytes,
    streamed through a pipe (None without /usr/bin/time)."""
    if not HAVE_TIME:
        return None
    with tempfile.NamedTemporaryFile() as peak:
        command = ['/usr/bin/time', '-f', '%M', '-o', peak.name, cli, 'batch']
        command += [] if jobs is None else ['--jobs', str(jobs)]
        child = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        block = b'9' * (1 << 20)
        try:
            for _ in range(size >> 20):
                child.stdin.write(block)
            child.stdin.write(b'\n')
            child.stdin.close()
        except BrokenPipeError:
            pass
        child.wait()
        return int(open(peak.name).read().split()[-1])


def number_list(text):
    return [int(v) for v in text.split(',') if v]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('cli', nargs='?',
                        default=os.path.join(HERE, '..', 'build', 'default', 'cli', 'orbel-cli'))
    parser.add_argument('--lines', type=number_list, default=[100000, 1000000],
                        help='line counts, comma-separated (default 100000,1000000)')
    parser.add_argument('--jobs', type=number_list, default=None,
                        help='values of --jobs, comma-separated (default: no --jobs option)')
    parser.add_argument('--runs', type=int, default=3, help='runs per measure (default 3)')
    parser.add_argument('--input-dir', help='folder for the generated input files')
    parser.add_argument('--long-line', type=int, default=1 << 30,
                        help='bytes of the one long line whose peak memory is measured '
                             '(default 1 GiB; 0: none)')
    args = parser.parse_args()

    if not os.access(args.cli, os.X_OK):
        sys.exit('batch_throughput: no orbel-cli at %s' % args.cli)
    help_text = subprocess.run([args.cli, 'batch', '--help'], capture_output=True, text=True)
    has_jobs = '--jobs' in help_text.stdout
    if args.jobs and not has_jobs:
        sys.exit('batch_throughput: %s batch has no --jobs option' % args.cli)

    places = read_places(os.path.join(HERE, 'cases.txt'))
    with tempfile.TemporaryDirectory(prefix='orbel-batch-') as work:
        inputs = args.input_dir or work
        os.makedirs(inputs, exist_ok=True)
        measures = []
        for lines in args.lines:
            source = os.path.join(inputs, 'batch-%d.txt' % lines)
            write_lines(source, lines, places)
            for jobs in args.jobs or [None]:
                measures.append(measure(args.cli, jobs, lines, source, args.runs, work))

    long_line = [{'bytes': args.long_line, 'jobs': jobs,
                  'max_rss_kib': long_line_peak(args.cli, jobs, args.long_line)}
                 for jobs in (args.jobs or [None])] if args.long_line > 0 else []
    json.dump({'cli': args.cli, 'jobs_option': has_jobs, 'measures': measures,
               'long_line': long_line}, sys.stdout, indent=2)
    sys.stdout.write('\n')
    return 0


if __name__ == '__main__':
    sys.exit(main())
