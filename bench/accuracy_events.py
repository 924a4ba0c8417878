#!/usr/bin/env python3
"""The events beyond rise and set against PyEphem: solar noon, the ends of
golden and blue hour, two altitudes of the user's (+10 and -3.5 degrees) and
the second moonrises and moonsets of a day, on the places and years of the
accuracy tables. PyEphem with pressure 0 and the centre, as orbel-cli
defines these events; its times rounded to the minute as ours are.

    accuracy_events.py ORBEL_CLI
"""
import datetime as dt
import json
import math
import subprocess
import sys

import ephem

# (name, latitude, longitude, year, hours east of UTC)
PLACES = [("Atlanta", 33.75, -84.39, 2007, -5), ("Boston", 42.36, -71.06, 1984, -5),
          ("60N", 60, 0, 2019, 0), ("29N", 29, 0, 2019, 0), ("60S", -60, 0, 2019, 0),
          ("15N", 15, 0, 1750, 0)]
# Each event: the orbel-cli JSON event name(s) and PyEphem's altitude and direction.
SUN_EVENTS = [("golden-hour-end", 6, "rise"), ("golden-hour-end", -4, "set"),
              ("blue-hour-end", -4, "rise"), ("blue-hour-end", -6, "set"),
              ("golden-hour-start", -4, "rise"), ("golden-hour-start", 6, "set")]


def table(cli, place, extra):
    name, lat, lon, year, offset = place
    zone = "%+03d:00" % offset
    out = subprocess.run([cli, "table", "--year", str(year), "--lat", str(lat), "--lon",
                          str(lon), "--utc-offset", zone, "--json"] + extra,
                         check=True, capture_output=True, text=True).stdout
    return json.loads(out)["days"]


def minutes(text):  # "2019-03-01T06:05:00+00:00" -> a datetime in UTC
    return dt.datetime.fromisoformat(text).astimezone(dt.timezone.utc).replace(tzinfo=None)


def observer(lat, lon, horizon):
    o = ephem.Observer()
    o.lat, o.lon, o.pressure, o.horizon = str(lat), str(lon), 0, str(horizon)
    return o


def ephem_events(place, date, body, horizon, direction, offset):
    """PyEphem's events of a direction within the local day, rounded to the minute."""
    start = dt.datetime(date.year, date.month, date.day) - dt.timedelta(hours=offset)
    o = observer(place[1], place[2], horizon)
    o.date = ephem.Date(start)
    found = []
    while True:
        try:
            if direction == "transit":
                t = o.next_transit(body)
            elif direction == "rise":
                t = o.next_rising(body, use_center=True)
            else:
                t = o.next_setting(body, use_center=True)
        except (ephem.AlwaysUpError, ephem.NeverUpError):
            return found
        t = t.datetime()
        if t >= start + dt.timedelta(days=1):
            return found
        found.append((t + dt.timedelta(seconds=30)).replace(second=0, microsecond=0))
        o.date = ephem.Date(t + dt.timedelta(minutes=1))


def stats(diffs, within):
    diffs = sorted(diffs)
    if not diffs:
        return "none"
    share = sum(d <= within for d in diffs) / len(diffs)
    return "%d: median %d, 95 %% %d, max %d, within %d min %.1f %%" % (
        len(diffs), diffs[len(diffs) // 2], diffs[int(len(diffs) * 0.95) - 1 if len(diffs) > 1 else 0],
        diffs[-1], within, 100 * share)


def main():
    cli = sys.argv[1]
    results = {k: [] for k in ["noon", "hours", "+10", "-3.5", "moon2"]}
    for place in PLACES:
        days = {}
        for extra, key in (([], None), (["--altitude", "10"], "+10"), (["--altitude", "-3.5"], "-3.5")):
            for day in table(cli, place, extra):
                days.setdefault(day["date"], {})[key] = day
        for date_text, kinds in days.items():
            date = dt.date.fromisoformat(date_text)
            day = kinds[None]
            sun_events = day["sun"]["events"]
            # Solar noon.
            ours = [minutes(e["time"]) for e in sun_events if e["event"] == "noon"]
            theirs = ephem_events(place, date, ephem.Sun(), 0, "transit", place[4])
            for a, b in zip(ours, theirs):
                results["noon"].append(abs((a - b).total_seconds()) / 60)
            if abs(place[1]) <= 60:
                for name, horizon, direction in SUN_EVENTS:
                    theirs = ephem_events(place, date, ephem.Sun(), horizon, direction, place[4])
                    ours = [minutes(e["time"]) for e in sun_events if e["event"] == name]
                    for t in theirs:
                        near = [abs((o - t).total_seconds()) / 60 for o in ours]
                        if near:
                            results["hours"].append(min(near))
                for key, horizon in (("+10", 10), ("-3.5", -3.5)):
                    alt = kinds[key]["altitude"]
                    for direction, name in (("rise", "rising"), ("set", "setting")):
                        theirs = ephem_events(place, date, ephem.Sun(), horizon, direction, place[4])
                        ev = alt[name]
                        if theirs and "time" in ev:
                            results[key].append(abs((minutes(ev["time"]) - theirs[-1]).total_seconds()) / 60)
            # Second moonrises and moonsets, where PyEphem finds two.
            for direction, name in (("rise", "moonrise"), ("set", "moonset")):
                o = observer(place[1], place[2], "-0:34")
                theirs = []
                start = dt.datetime(date.year, date.month, date.day) - dt.timedelta(hours=place[4])
                o.date = ephem.Date(start)
                while True:
                    try:
                        t = (o.next_rising if direction == "rise" else o.next_setting)(ephem.Moon())
                    except (ephem.AlwaysUpError, ephem.NeverUpError):
                        break
                    t = t.datetime()
                    if t >= start + dt.timedelta(days=1):
                        break
                    theirs.append(t.replace(second=0, microsecond=0) + dt.timedelta(minutes=round(t.second / 60)))
                    o.date = ephem.Date(t + dt.timedelta(minutes=1))
                if len(theirs) < 2:
                    continue
                ours = [minutes(e["time"]) for e in day["moon"]["events"] if e["event"] == name]
                for t in theirs[1:] if len(ours) < 2 else theirs:
                    near = [abs((o - t).total_seconds()) / 60 for o in ours]
                    results["moon2"].append(min(near) if near else 999)
    for key, within in (("noon", 1), ("hours", 2), ("+10", 2), ("-3.5", 2), ("moon2", 3)):
        print("%-6s %s" % (key, stats([round(d) for d in results[key]], within)))


main()
