#!/usr/bin/python3
"""Times PyEphem on the sixteen cases of bench/cases.txt, the same dates and
places the C++ benchmarks cycle through.

A pair is Observer.next_rising and Observer.next_setting for one body from
local midnight of the case's date, the observer set up as USNO does (horizon
-0:34, pressure 0, upper limb). A year table is both pairs for every day of
2026 in Berlin (zone -1), as BM_YearTable_Orbel computes it. Prints JSON:
microseconds per sun pair and per moon pair, milliseconds per year table.

    bench/pyephem_bench.py [--seconds S]
"""
import argparse
import datetime
import json
import os
import sys
import time

import ephem

HERE = os.path.dirname(os.path.abspath(__file__))


def read_cases(path):
    cases = []
    with open(path) as f:
        for line in f:
            fields = line.split('#', 1)[0].split()
            if fields:
                day, month, year = (int(v) for v in fields[:3])
                lat, lon = float(fields[3]), float(fields[4])
                cases.append((datetime.datetime(year, month, day)
                              + datetime.timedelta(hours=int(fields[5])), lat, lon))
    return cases


def observer(when, lat, lon):
    o = ephem.Observer()
    o.lat, o.lon = ephem.degrees(str(lat)), ephem.degrees(str(lon))
    o.elevation, o.pressure, o.horizon = 0, 0, '-0:34'
    o.date = ephem.Date(when)
    return o


def pair(o, body):
    """Rise and set, None where PyEphem reports the body circumpolar."""
    out = []
    for search in (o.next_rising, o.next_setting):
        try:
            out.append(search(body))
        except ephem.CircumpolarError:
            out.append(None)
    return out


def per_call(fn, seconds):
    """Processor seconds per call of fn, repeating it for at least `seconds`
    (processor time, as the C++ figures, so other loads on the machine count
    less)."""
    calls, start = 0, time.process_time()
    while True:
        fn()
        calls += 1
        elapsed = time.process_time() - start
        if elapsed >= seconds:
            return elapsed / calls


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--seconds', type=float, default=2.0,
                        help='minimum time per measurement (default 2)')
    args = parser.parse_args()

    observers = [observer(*c) for c in read_cases(os.path.join(HERE, 'cases.txt'))]
    sun, moon = ephem.Sun(), ephem.Moon()
    state = {'i': 0}

    def cycle(body):
        def run():
            pair(observers[state['i']], body)
            state['i'] = (state['i'] + 1) % len(observers)
        return run

    berlin = [observer(datetime.datetime(2026, 1, 1) + datetime.timedelta(days=d, hours=-1),
                       52.52, 13.405) for d in range(365)]

    def year_table():
        for o in berlin:
            pair(o, sun)
            pair(o, moon)

    result = {
        'pyephem_version': ephem.__version__,
        'sun_pair_us': per_call(cycle(sun), args.seconds) * 1e6,
        'moon_pair_us': per_call(cycle(moon), args.seconds) * 1e6,
        'year_table_ms': per_call(year_table, args.seconds) * 1e3,
    }
    json.dump(result, sys.stdout, indent=2)
    sys.stdout.write('\n')
    return 0


if __name__ == '__main__':
    sys.exit(main())
