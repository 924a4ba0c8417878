#!/usr/bin/env python3
"""Writes the golden record's query file: batch lines DAY MONTH YEAR LAT LON ZONE.

The lines come from a fixed seed, so the file is the same on every run:

    tests/golden/make_queries.py > /tmp/q && gzip -9n < /tmp/q > tests/golden/queries.txt.gz

The expected answers beside it (expected.tsv.gz) are what `orbel-cli batch`
printed for these lines; tests/golden/check.sh compares a build against them.
"""

import random

rng = random.Random(20261207)
lines = []


def add(day, month, year, lat, lon, zone):
    lines.append(f"{day} {month} {year} {lat!r} {lon!r} {zone}")


def any_date(years):
    return rng.randint(1, 28), rng.randint(1, 12), rng.randint(*years)


def zone_of(lon):
    """The zone a clock at this longitude keeps, give or take an hour."""
    return -round(lon / 15) + rng.choice((-1, 0, 0, 0, 1))


def place(lat_range, lon_range=(-180.0, 180.0)):
    return round(rng.uniform(*lat_range), 4), round(rng.uniform(*lon_range), 4)


# The worked examples.
for day, month, year in ((14, 12, 1999), (16, 12, 1999), (29, 12, 1999), (20, 3, 2000)):
    add(day, month, year, 48.743333333333333, 9.3075, -1)
    add(day, month, year, 48.7333, 9.3, -1)
for day, month in ((10, 6), (12, 6), (30, 6)):
    add(day, month, 2000, 66.0, 20.0, -1)
add(1, 1, 2000, 68.0, 20.0, -1)
add(1, 1, 2000, 0.0, 0.0, 0)
add(10, 12, 1999, 70.0, 20.0, -1)
add(23, 12, 1999, 70.0, 20.0, -1)

# Ordinary places and dates.
for _ in range(1400):
    lat, lon = place((-60.0, 60.0))
    add(*any_date((1900, 2100)), lat, lon, zone_of(lon))

# Polar days and nights, most of them near the solstices.
for _ in range(500):
    lat, lon = place(rng.choice(((60.0, 90.0), (-90.0, -60.0))))
    month = rng.choice((5, 6, 7, 11, 12, 1, 3, 9))
    add(rng.randint(1, 31), month, rng.randint(1950, 2050), lat, lon, zone_of(lon))

# Southern latitudes and western longitudes as 360 - value, as the dialog
# passes them.
for _ in range(400):
    lat, lon = place((0.0, 90.0), (0.0, 180.0))
    zone = zone_of(-lon)
    add(*any_date((1800, 2200)), round(360 - lat, 4), round(360 - lon, 4), zone)

# Days and months outside the calendar: 0, the ends of short months, 32-255.
for _ in range(300):
    day = rng.choice((0, 29, 30, 31, 32, rng.randint(33, 255), 255))
    month = rng.choice((0, 2, 4, 12, 13, rng.randint(14, 255), 255))
    lat, lon = place((-70.0, 70.0))
    add(day, month, rng.randint(1583, 2100), lat, lon, zone_of(lon))

# Years at and around the calendar switch, early and far-off years, the ends of
# the 32-bit range.
years = [0, 1, 2, 4, 100, 1000, 1581, 1582, 1583, 1584, 1600, 1700, 1900, 9999, 10000, 99999,
         123456, 1000000, 5874777, 5874778, 2147483647, 2147483648, 4294967294, 4294967295]
for year in years:
    for _ in range(6):
        lat, lon = place((-80.0, 80.0))
        add(*any_date((year, year)), lat, lon, zone_of(lon))
for day in (1, 4, 5, 10, 14, 15, 31):
    add(day, 10, 1582, 48.7433, 9.3075, -1)
for _ in range(100):
    lat, lon = place((-80.0, 80.0))
    add(*any_date((0, 4294967295)), lat, lon, rng.randint(-14, 12))

# Zones across the whole signed byte, and places far outside their range.
for _ in range(150):
    lat, lon = place((-80.0, 80.0))
    add(*any_date((1900, 2100)), lat, lon, rng.randint(-128, 127))
odd_values = [90.0, -90.0, 180.0, -180.0, 360.0, 720.5, -1000.0, 1e6, -1e9, 1e300, 5e-324, -0.0]
for _ in range(150):
    lat = rng.choice(odd_values + [round(rng.uniform(-90, 90), 4)])
    lon = rng.choice(odd_values + [round(rng.uniform(-180, 180), 4)])
    add(*any_date((1900, 2100)), lat, lon, rng.randint(-14, 12))

print("\n".join(lines))
