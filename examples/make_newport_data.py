#!/usr/bin/env python3
"""Makes the two example files for which no real data was found.

SURVEY.XYZ: a made-up but plausible single-beam survey of the Newport example
site (local plane coordinates in feet): east-west lines 100 ft apart with a
sounding every 25 ft; a seabed deepening offshore (west) at about 1:250 around
62 ft below MLLW, low sand waves, the remains of an earlier disposal mound, and
+-0.15 ft of sounding noise.

TIDE.DAT: the 3-hourly tide series of the placement simulator, computed from
the real NOAA constituents of TIDAL.DAT (South Beach, OR; see ../README.md) for
2019-08-01 00:00 UTC onward. No tidal-current constants were found for the
site, so the current columns are 0.

Run from this folder: python3 make_newport_data.py
"""
import math
import random

random.seed(46097)

# ---- survey
lines = []
for row in range(52):
    y = 24950.0 + 100.0 * row
    for col in range(207):
        x = 9900.0 + 25.0 * col
        depth = 62.0 + (12475.0 - x) / 250.0
        depth += 0.4 * math.sin(2 * math.pi * (0.94 * x + 0.34 * y) / 350.0)
        r2 = (x - 13200.0) ** 2 + (y - 28200.0) ** 2
        depth -= 4.0 * math.exp(-r2 / (2 * 500.0 ** 2))
        depth += random.uniform(-0.15, 0.15)
        lines.append("%.1f %.1f %.2f" % (x, y, depth))
with open("newport/SURVEY.XYZ", "w") as f:
    f.write("\n".join(lines) + "\n")

# ---- tide series from the constituents in TIDAL.DAT (metres -> feet x 3.28)
with open("newport/TIDAL.DAT") as f:
    rec = f.read().splitlines()
ncon = int(rec[2][0:10])
mean = float(rec[2][10:20]) * 3.28
cons = []
for r in rec[5:5 + ncon]:
    speed, amp, phase = float(r[10:20]), float(r[20:30]) * 3.28, float(r[30:40])
    cons.append((speed, amp, phase))
out = ["TIDE SERIES FOR TIDE.DAT: SOUTH BEACH, OR (NOAA 9435380) CONSTITUENTS, FROM 2019-08-01 00:00 UTC",
       "EVERY 3 HOURS; COLUMNS: HOURS, TIDE (FT ABOVE MLLW), U EAST, V NORTH (FT/S, NOT AVAILABLE: 0)",
       "LAYOUT (8F8.3)"]
for i in range(240):
    t = 3.0 * i
    tide = mean + sum(a * math.cos(math.radians(s * t - p)) for s, a, p in cons)
    out.append("%8.3f%8.3f%8.3f%8.3f" % (t, tide, 0.0, 0.0))
with open("newport/TIDE.DAT", "w") as f:
    f.write("\n".join(out) + "\n")

# ---- a storm in the wave record (made up)
# The August 2019 record of buoy 46097 is calm (Hs mostly 1-2 m), under which
# the long-term model leaves a sand mound at 60 ft where it is. So that the
# example shows the model at work, days 16.0 to 19.0 of the record (2019-08-17
# 00:10 to 2019-08-19 21:10, 24 records) are replaced by a made-up winter-type
# storm from the west: Hs rising to 6.5 m and the period to 15 s at its peak
# (day 17.5) and falling again, a half sine. Every other record stays the real
# one. The header says which records are made up.
STORM_FIRST, STORM_LAST = 16 * 8, 19 * 8 - 1  # time step indices (record 1 = index 0)
with open("newport/WAVREC.OUT") as f:
    rec = f.read().splitlines()
head, data = rec[:9], rec[9:]
head[0] = ("WAVE RECORD FOR WAVREC.OUT - REAL BUOY DATA EXCEPT A MADE-UP STORM, "
           "INDICES %d-%d" % (STORM_FIRST, STORM_LAST))
for i in range(STORM_FIRST, STORM_LAST + 1):
    s = math.sin(math.pi * (i - STORM_FIRST + 1) / (STORM_LAST - STORM_FIRST + 2))
    data[i] = data[i][:14] + "%12.5f%12.5f%12.5f%12.5f" % (1.5 + 5.0 * s, 9.0 + 6.0 * s, 270.0, 0.0)
with open("newport/WAVREC.OUT", "w") as f:
    f.write("\n".join(head + data) + "\n")
