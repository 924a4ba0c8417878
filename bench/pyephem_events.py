#!/usr/bin/python3
"""Rises and sets from PyEphem for the accuracy tool (orbel_accuracy).

Reads request lines "ID BODY LATITUDE LONGITUDE FIRST LAST [HORIZON]" from
standard input (BODY sun or moon; degrees north and east positive; FIRST and
LAST in minutes of universal time from 2000-01-01 00:00) and writes one line
"ID r|s MINUTE" per rise and set in [FIRST, LAST), MINUTE unrounded. The
observer follows the USNO convention: upper limb on a horizon 34' below the
geometric one, no atmospheric model (pressure 0), sea level. With HORIZON
(degrees, -6 for civil twilight) the body's centre crosses that altitude
instead: dawn and dusk.

PyEphem's search does not always end near the pole (the Moon at 85 degrees
north grazing the horizon); a search still running after SEARCH_LIMIT seconds
is abandoned like a circumpolar answer, and their number goes to standard error.
"""
import signal
import sys

import ephem

DAY0 = ephem.Date('2000/1/1 00:00:00')
MINUTE = 1.0 / 1440
# After a circumpolar answer the search starts again this much later: a quarter
# of the time between two rises, so a skipped event is unlikely.
CIRCUMPOLAR_STEP = 0.25
SEARCH_LIMIT = 0.5
abandoned = 0


class SearchTimeout(Exception):
    pass


def _stop_search(signum, frame):
    raise SearchTimeout()


def observer(latitude, longitude, horizon):
    o = ephem.Observer()
    o.lat = ephem.degrees(str(latitude))
    o.lon = ephem.degrees(str(longitude))
    o.elevation = 0
    o.pressure = 0
    o.horizon = '-0:34' if horizon is None else horizon
    return o


def events(body, o, first, last, use_center):
    """(kind, minute) for every rise and set in [first, last) minutes."""
    global abandoned
    found = []
    start, end = DAY0 + first * MINUTE, DAY0 + last * MINUTE
    for kind, search in (('r', o.next_rising), ('s', o.next_setting)):
        t = start
        while t < end:
            signal.setitimer(signal.ITIMER_REAL, SEARCH_LIMIT)
            try:
                e = search(body, start=ephem.Date(t), use_center=use_center)
            except ephem.CircumpolarError:
                t += CIRCUMPOLAR_STEP
                continue
            except SearchTimeout:
                abandoned += 1
                t += CIRCUMPOLAR_STEP
                continue
            finally:
                signal.setitimer(signal.ITIMER_REAL, 0)
            if e >= end:
                break
            found.append((kind, (e - DAY0) * 1440))
            t = e + MINUTE
    return found


def main():
    signal.signal(signal.SIGALRM, _stop_search)
    bodies = {'sun': ephem.Sun, 'moon': ephem.Moon}
    for line in sys.stdin:
        fields = line.split()
        if not fields:
            continue
        ident, body, lat, lon, first, last = fields[:6]
        horizon = fields[6] if len(fields) > 6 else None
        o = observer(float(lat), float(lon), horizon)
        for kind, minute in events(bodies[body](), o, int(first), int(last),
                                   horizon is not None):
            sys.stdout.write('%s %s %.4f\n' % (ident, kind, minute))
    if abandoned:
        sys.stderr.write('pyephem_events: %d searches abandoned after %g s\n'
                         % (abandoned, SEARCH_LIMIT))
    return 0


if __name__ == '__main__':
    sys.exit(main())
