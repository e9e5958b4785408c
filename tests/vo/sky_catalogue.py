"""A J2000 catalogue built to trip a cone search, and what astropy finds in its cones.

Entries sit near both poles, on both sides of 0h/24h (24:00:00 included), exactly on the
radius of a cone (along a meridian and along the equator, where the distance is a plain
difference of coordinates), a hair inside and outside it, and at random over the sky;
a few have names that XML and CSV must escape or quote, or bytes that are not UTF-8.
The expected answer of each cone is what astropy's SkyCoord.separation puts within the
radius, on positions read from the fields as 15 * (h + m/60 + s/3600) and
sign * (d + m/60 + s/3600); an entry placed on the radius is inside, even where astropy's
rounding puts it 1e-15 degrees outside.
"""
import os
import random
import sys

SKIPPED = 77


def require(*modules):
    """Imports the Debian modules a test needs; without one, exits as skipped with the
    reason (in CI, where they are installed, a missing one is a failure)."""
    try:
        for module in modules:
            __import__(module)
    except ImportError as error:
        print(f"skipped: {error} (Debian's /usr/bin/python3 with {', '.join(modules)})")
        sys.exit(1 if os.environ.get("CI") else SKIPPED)


class Entry:
    def __init__(self, name, ra, dec, z=1.0, reference=b"Test et al. 2026"):
        """`ra` is (h, m, s), `dec` (sign, d, m, s); `name` bytes as the file holds them."""
        self.name, self.ra, self.dec, self.z, self.reference = name, ra, dec, z, reference

    def line(self):
        h, m, s = self.ra
        sign, d, dm, ds = self.dec
        degrees = ("-" if sign < 0 else "+") + f"{d:02d}"
        return (f"{h:02d}${m:02d}${s!r}${degrees}${dm:02d}${ds!r}${self.z!r}$".encode() +
                b" " + self.name + b" $" + self.reference + b"$\n")

    def position(self):
        h, m, s = self.ra
        sign, d, dm, ds = self.dec
        ra = 15.0 * (h + m / 60.0 + s / 3600.0)
        return (ra - 360.0 if ra >= 360.0 else ra), sign * (d + dm / 60.0 + ds / 3600.0)

    def text(self, raw):
        """A text as the site hands it out: UTF-8 with U+FFFD for what is not, controls
        but tab and line ends likewise, surrounding spaces removed."""
        text = raw.decode("utf-8", errors="replace")
        return "".join("\ufffd" if ord(c) < 32 and c not in "\t\r\n" else c
                       for c in text).strip(" ")


# name, RA, DEC, SR (degrees)
CONES = [
    ("north pole", 0.0, 90.0, 0.5),
    ("near the south pole", 123.4, -89.9, 0.2),
    ("across 0h", 359.99, -5.0, 0.05),
    ("on the equator at 0h", 0.0, 0.0, 0.01),
    ("radius along a meridian", 150.0, 10.0, 0.5),
    ("radius along the equator", 150.0, 0.0, 0.25),
    ("one second of arc", 200.0, 41.0, 1 / 3600.0),
    ("wide", 80.0, -30.0, 35.0),
]


def entries():
    """The catalogue, in file order."""
    listed = []
    add = lambda name, ra, dec, **more: listed.append(Entry(name.encode(), ra, dec, **more))
    # The north pole, with a cone of 0.5 degrees around it: on, inside and outside the rim.
    for h in (0, 6, 12, 18, 23):
        add(f"NP rim {h}h", (h, 0, 0.0), (1, 89, 30, 0.0))
        add(f"NP in {h}h", (h, 30, 0.0), (1, 89, 29, 59.99))
        add(f"NP out {h}h", (h, 30, 0.0), (1, 89, 29, 59.9))
    add("NP itself", (0, 0, 0.0), (1, 90, 0, 0.0))
    # The south pole, the cone's centre 0.1 degree from it.
    for h, dm in ((20, 54), (8, 54), (8, 48), (20, 48), (2, 59), (14, 59)):
        add(f"SP {h}h {dm}m", (h, 13, 36.0), (-1, 89, dm, 0.0))
    # Right ascensions either side of 0h and 24h.
    for ra in ((23, 59, 59.9), (23, 59, 58.0), (23, 59, 50.0), (0, 0, 0.0), (24, 0, 0.0),
               (0, 0, 0.5), (0, 0, 2.0), (0, 0, 9.0)):
        add(f"RA0 {ra[0]}:{ra[1]}:{ra[2]}", ra, (-1, 5, 0, 0.0))
        add(f"EQ {ra[0]}:{ra[1]}:{ra[2]}", ra, (1, 0, 0, 0.0))
    add("EQ south -00", (0, 0, 1.0), (-1, 0, 0, 30.0))
    # Exactly on a radius: half a degree north and south of (10h, +10), a quarter of a
    # degree east and west of (10h, 0); and a hair past them.
    add("M on north", (10, 0, 0.0), (1, 10, 30, 0.0))
    add("M on south", (10, 0, 0.0), (1, 9, 30, 0.0))
    add("M past north", (10, 0, 0.0), (1, 10, 30, 0.001))
    add("E on east", (10, 1, 0.0), (1, 0, 0, 0.0))
    add("E on west", (9, 59, 0.0), (1, 0, 0, 0.0))
    add("E past east", (10, 1, 0.0001), (1, 0, 0, 0.0))
    # One second of arc around (13h20m, +41).
    for ds, label in ((0.9999, "in"), (1.0001, "out")):
        add(f"AS {label} north", (13, 20, 0.0), (1, 41, 0, ds))
        add(f"AS {label} south", (13, 20, 0.0), (1, 40, 59, 60 - ds))
    # Names and references a writer must escape, quote or clean.
    listed.append(Entry(b'A&B <x> "q" \'a\'', (13, 20, 0.0), (1, 41, 0, 0.0),
                        reference=b"Smith, J.; \"Jones\" 2001"))
    listed.append(Entry(b"Caf\xe9 \x01 \xc3\xa9", (5, 20, 0.0), (-1, 30, 0, 0.0),
                        reference=b"r\xe9f"))
    # And a sky of random entries.
    generator = random.Random(13)
    for n in range(3000):
        seconds = round(generator.uniform(0, 86400), 2)
        h, rest = divmod(seconds, 3600)
        m, s = divmod(rest, 60)
        arcsec = round(generator.uniform(-90, 90) * 3600, 1)
        sign = -1 if arcsec < 0 else 1
        d, rest = divmod(abs(arcsec), 3600)
        dm, ds = divmod(rest, 60)
        listed.append(Entry(f"R{n:04d}".encode(), (int(h), int(m), round(s, 2)),
                            (sign, int(d), int(dm), round(ds, 1)),
                            z=round(generator.uniform(0, 5), 4)))
    return listed


def catalogue(listed):
    return b"".join(entry.line() for entry in listed)


# Entries whose astropy distance lies this close to the radius (degrees) are on it: the
# catalogue places some there on purpose, and astropy's own rounding puts a few of those
# a hair outside (near a pole, cos 90 degrees is 6e-17, not 0).
RIM = 1e-12


def within(listed, ra, dec, radius):
    """The entries astropy's SkyCoord.separation puts within `radius` degrees of (ra, dec),
    as {index: distance in degrees}, those on the rim included; and the indices of those
    on the rim."""
    import astropy.units as u
    from astropy.coordinates import SkyCoord
    positions = [entry.position() for entry in listed]
    sky = SkyCoord(ra=[p[0] for p in positions] * u.deg, dec=[p[1] for p in positions] * u.deg,
                   frame="fk5", equinox="J2000")
    centre = SkyCoord(ra=ra * u.deg, dec=dec * u.deg, frame="fk5", equinox="J2000")
    separation = sky.separation(centre).deg
    inside = {n: separation[n] for n in range(len(listed)) if separation[n] <= radius + RIM}
    rim = {n for n in inside if abs(separation[n] - radius) <= RIM}
    return inside, rim
