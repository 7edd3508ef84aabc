#!/usr/bin/env python3
"""Writes the fate-model decks used as test fixtures, record by record in the
layouts the placement simulator writes them (CLDX.DUE):

  (A60) title, (2I5) KVESSEL, (16I5) sizes, options, print control,
  (9F10.2) DEPC DX DZ, (2I5) KDEPTH, (10F8.3) depth rows, (9F10.2) dump,
  (8F10.5) ROUGH ZREF, (9F10.2) waves, (16I5) NDENS, (9F10.2) depths,
  (8F10.5) densities, (16I5) KVEL, (9F10.2) velocity, (8F10.1) times,
  (9F10.2) vessel, per layer (9F10.4) and (A8,5F10.5,3I5) per fraction,
  (9F10.2) print times.

Run it from this folder: python3 make_decks.py
"""
import math
import os


def ints(*v):
    return "".join("%5d" % x for x in v)


def reals(fmt, vals, per):
    w, d = fmt
    out = []
    for i in range(0, len(vals), per):
        out.append("".join(("%" + str(w) + "." + str(d) + "f") % x for x in vals[i:i + per]))
    return out


def deck(path, *, kvessel, n, m, layers, nbins, kwave, kvel, depth, spacing, dump,
         rough=0.01, zref=1.0, wave=(0.0, 0.0, 0.0), profile, velocity, times, vessel,
         fractions, tprint=(1800.0, 3600.0), kpdesc=1, kpcoll=1, key1=0, kvary=0, kdepth=2,
         coefs=None, layer_velocity=(0.0, 0.0), volume):
    rec = []
    rec.append("CLOUDEX DATA-FILE USED FOR vexal".ljust(60))
    rec.append(ints(kvessel, 0))
    rec.append(ints(n, m, len(fractions), layers, nbins))
    rec.append(ints(key1, kvary, kwave))
    rec.append(ints(kpdesc, kpcoll, len(tprint)))
    mean = sum(depth(i, j) for i in range(m) for j in range(n)) / (n * m)
    rec += reals((10, 2), [mean, spacing, spacing], 9)
    rec.append(ints(kdepth, 0))
    if kdepth != 1:
        for i in range(m):
            rec += reals((8, 3), [depth(i, j) for j in range(n)], 10)
    rec += reals((10, 2), list(dump), 9)
    rec += reals((10, 5), [rough, zref], 8)
    if kwave == 1:
        rec += reals((10, 2), list(wave), 9)
    rec.append(ints(len(profile)))
    rec += reals((10, 2), [p[0] for p in profile], 9)
    rec += reals((10, 5), [p[1] for p in profile], 8)
    rec.append(ints(kvel))
    rec += reals((10, 2), list(velocity), 9)
    rec += reals((8, 1), list(times), 8)
    rec += reals((10, 2), list(vessel), 9)
    if key1 == 1:
        for c in coefs:
            rec += reals((10, 5), list(c), 9)
    for layer in range(layers):
        rec += reals((10, 4), [layer_velocity[0], layer_velocity[1], volume / layers], 9)
        for f in fractions:
            name, sg, conc, vfall, voidr, taucd, kcoh, kstrip = f
            rec.append(name.ljust(8)[:8] + "".join("%10.5f" % x for x in (sg, conc, vfall, voidr, taucd))
                       + "%5d%5d" % (kcoh, kstrip))
    if tprint:
        rec += reals((10, 2), list(tprint), 9)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write("\n".join(rec) + "\n")


SAND = ("SAND", 2.65, 0.30, 0.10, 0.80, 0.50, 0, 0)
SILT = ("SILT", 2.67, 0.12, 0.002, 2.50, 0.05, 1, 1)
CLAY = ("CLAY", 2.70, 0.08, 0.0005, 3.00, 0.02, 1, 0)
UNIFORM = [(0.0, 1.025), (100.0, 1.025)]

if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    # A split-hull barge of sand in 50 ft of water with a current and waves.
    deck(os.path.join(here, "barge_sand", "CLDX.DUE"), kvessel=3, n=44, m=44, layers=1, nbins=0,
         kwave=1, kvel=1, depth=lambda i, j: 50.0, spacing=100.0, dump=(2200.0, 2200.0),
         wave=(2.0, 8.0, 45.0), profile=UNIFORM, velocity=(0.5, 0.2, 50.0),
         times=(3600.0, 60.0, 30.0), vessel=(200.0, 42.0, 12.0, 3.0, 1.025, 0, 0, 0, 0),
         fractions=[SAND], volume=2000.0)
    # A hopper dredge of silt, two discharges, waves on a gentle slope.
    deck(os.path.join(here, "hopper_silt", "CLDX.DUE"), kvessel=1, n=44, m=44, layers=2, nbins=2,
         kwave=1, kvel=2, depth=lambda i, j: 55.0 + 0.05 * (j - 22), spacing=100.0,
         dump=(2200.0, 2200.0), wave=(4.0, 10.0, 300.0), profile=UNIFORM,
         velocity=(0.3, -0.1, 55.0), times=(3600.0, 60.0, 60.0),
         vessel=(200.0, 58.0, 16.0, 9.0, 1.025, 40.0, 30.0, 20.0, 0.0), fractions=[SILT],
         volume=1000.0, layer_velocity=(0.5, 0.0))
    # Two fractions in stratified water.
    deck(os.path.join(here, "two_fraction", "CLDX.DUE"), kvessel=3, n=44, m=44, layers=1,
         nbins=0, kwave=1, kvel=1, depth=lambda i, j: 80.0, spacing=100.0,
         dump=(2200.0, 2200.0), wave=(1.0, 6.0, 90.0),
         profile=[(0.0, 1.020), (30.0, 1.024), (80.0, 1.026)], velocity=(0.2, 0.1, 80.0),
         times=(3600.0, 60.0, 30.0), vessel=(200.0, 42.0, 12.0, 3.0, 1.024, 0, 0, 0, 0),
         fractions=[SAND, CLAY], volume=1500.0)
    # Benchmark: a 64 x 64 fate grid, two fractions, 360 long-term steps.
    deck(os.path.join(here, "..", "..", "bench", "cloudex", "fate64", "CLDX.DUE"), kvessel=3,
         n=64, m=64, layers=2, nbins=0, kwave=1, kvel=1,
         depth=lambda i, j: 60.0 + 0.1 * (i - 32), spacing=100.0, dump=(3200.0, 3200.0),
         wave=(2.0, 8.0, 60.0), profile=[(0.0, 1.022), (70.0, 1.025)], velocity=(0.1, 0.05, 60.0),
         times=(21600.0, 60.0, 60.0), vessel=(200.0, 42.0, 12.0, 3.0, 1.024, 0, 0, 0, 0),
         fractions=[SAND, ("SILT", 2.67, 0.12, 0.002, 2.50, 0.2, 1, 1)], volume=2000.0,
         tprint=(3600.0, 21600.0))
