#!/usr/bin/python3
"""The Moon's principal phases and lit fraction from PyEphem for the accuracy
tool (orbel_accuracy --phases).

Reads request lines from standard input, instants in days of universal time
from 2000-01-01 12:00 (J2000.0), and answers each with one line:

  "ID p QUARTER DAY" -> "ID INSTANT": the first instant at or after DAY of the
      principal phase QUARTER (0 new moon, 1 first quarter, 2 full moon, 3 last
      quarter), from ephem.next_new_moon and its siblings;
  "ID f DAY" -> "ID FRACTION": the lit fraction (0-1) of the Moon's disc at
      DAY, Moon(DAY).moon_phase (geocentric).
"""
import sys

import ephem

# ephem.Date counts days from 1899-12-31 12:00 UT.
J2000 = ephem.Date('2000/1/1 12:00:00')
NEXT = (ephem.next_new_moon, ephem.next_first_quarter_moon,
        ephem.next_full_moon, ephem.next_last_quarter_moon)


def main():
    for line in sys.stdin:
        fields = line.split()
        if not fields:
            continue
        ident, what = fields[0], fields[1]
        if what == 'p':
            instant = NEXT[int(fields[2])](ephem.Date(J2000 + float(fields[3])))
            sys.stdout.write('%s %.9f\n' % (ident, instant - J2000))
        elif what == 'f':
            moon = ephem.Moon(ephem.Date(J2000 + float(fields[2])))
            sys.stdout.write('%s %.9f\n' % (ident, moon.moon_phase))
        else:
            sys.stderr.write('pyephem_phases: bad request %r\n' % line)
            return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
