"""Prints the reference values of geometry_test.cpp, computed with astropy.

Run once with Debian's Python (/usr/bin/python3, python3-astropy) and paste the output
into geometry_test.cpp:
  - distances: SkyCoord.separation, in degrees;
  - circles: positions directional_offset_by the radius, shortened or lengthened by a
    part in 10^9, or exactly on it, and whether each is inside;
  - boxes: positions given in the SkyOffsetFrame of the box's centre, where the box's
    sides are the great circles |y| = x tan(width/2) and |z| = x tan(height/2), a part in
    10^6 inside or outside of a side, turned into ICRS by astropy; and the boxes' corners,
    for the same test with the polygon of the corners.
"""
import math

import astropy.units as u
from astropy.coordinates import SkyCoord

pairs = [
    (0, 0, 0, 90),
    (10, 20, 10.3, 20.1),
    (359.9, 0, 0.1, 0),
    (0, 89.99, 180, 89.99),
    (0, 0, 180, 0),
    (12.345678, -45.6789, 192.345678, 45.6789001),
    (187.7, 12.4, 187.7000001, 12.4),
    (123.456, -67.89, 234.567, 12.345),
    (45, -90, 300, -89.5),
]
print("// distances: ra1, dec1, ra2, dec2, astropy's separation")
for a, b, c, d in pairs:
    s = SkyCoord(a * u.deg, b * u.deg).separation(SkyCoord(c * u.deg, d * u.deg)).deg
    print("{%r, %r, %r, %r, %r}," % (a, b, c, d, s))

print("// circles: centre, radius, position, inside")
for ra, dec, radius in [(187.7, 12.4, 0.5), (0.1, -89.9, 0.3), (359.95, 0.02, 1.0)]:
    centre = SkyCoord(ra * u.deg, dec * u.deg)
    for angle in (0, 77, 301):
        for factor, inside in ((1 - 1e-9, 1), (1.0, 1), (1 + 1e-9, 0)):
            p = centre.directional_offset_by(angle * u.deg, radius * factor * u.deg)
            print("{%r, %r, %r, %r, %r, %d}," % (ra, dec, radius, p.ra.deg, p.dec.deg, inside))

print("// boxes: centre, width, height, position, inside")
boxes = [(10, 20, 2, 1), (45, 80, 6, 3), (359.5, -30, 1, 4), (200, 0, 30, 20)]
corners = []
for ra, dec, width, height in boxes:
    centre = SkyCoord(ra * u.deg, dec * u.deg)
    frame = centre.skyoffset_frame()
    tw, th = math.tan(math.radians(width / 2)), math.tan(math.radians(height / 2))
    tests = []
    # (y/x, z/x) in the box's frame, and whether that is inside.
    for fy in (0, 1 - 1e-6, 1 + 1e-6, -(1 + 1e-6), 3):
        for fz in (0, 1 - 1e-6, 1 + 1e-6, -(1 - 1e-6)):
            inside = abs(fy) < 1 and abs(fz) < 1
            tests.append((fy * tw, fz * th, inside))
    for y, z, inside in tests:
        lon = math.atan2(y, 1)
        lat = math.atan2(z, math.hypot(1, y))
        p = SkyCoord(lon * u.rad, lat * u.rad, frame=frame).icrs
        print("{%r, %r, %r, %r, %r, %r, %d}," % (ra, dec, width, height, p.ra.deg, p.dec.deg,
                                                  inside))
    box_corners = []
    for sy, sz in ((1, 1), (1, -1), (-1, -1), (-1, 1)):
        lon = math.atan2(sy * tw, 1)
        lat = math.atan2(sz * th, math.hypot(1, tw))
        p = SkyCoord(lon * u.rad, lat * u.rad, frame=frame).icrs
        box_corners += [p.ra.deg, p.dec.deg]
    corners.append(box_corners)

print("// box corners, north-east, south-east, south-west, north-west")
for c in corners:
    print("{" + ", ".join(repr(x) for x in c) + "},")
