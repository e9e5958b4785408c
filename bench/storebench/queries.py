"""The queries every system answers: boxes as the site's form sends them, cones as /cone
takes them, and the empty request (the form itself).

A box's bounds are sexagesimal texts, as a visitor types them; their values in degrees are
computed as the cone search computes an entry's position (15 * (h + m/60 + s/3600) for a
right ascension, sign * (d + m/60 + s/3600) for a declination), so that a bound and an
entry written alike give the same double.
"""
import urllib.parse
from dataclasses import dataclass


@dataclass(frozen=True)
class Box:
    ra_min: str   # "hh:mm:ss"
    ra_max: str
    dec_min: str  # "+dd:mm:ss" or "-dd:mm:ss"
    dec_max: str
    z_min: str
    z_max: str


@dataclass(frozen=True)
class Cone:
    ra: float      # degrees, J2000
    dec: float
    radius: float  # degrees


@dataclass(frozen=True)
class Query:
    key: str               # short name, for the command line and the scratch files
    label: str             # as the tables name it
    box: Box = None        # a box query, or
    cone: Cone = None      # a cone search, or neither: the empty request


EMPTY = Query("empty", "empty request (the form)")
SMALL_BOX = Query("small", "20′ × 20′ box",
                  box=Box("12:00:00", "12:01:20", "+01:50:00", "+02:10:00", "0", "10"))
CONE_SMALL = Query("cone01", "0.1° cone", cone=Cone(150.0, 20.0, 0.1))
CONE_LARGE = Query("cone1", "1° cone", cone=Cone(210.0, -30.0, 1.0))
ONE_PERCENT = Query("onepc", "1% box",
                    box=Box("00:00:00", "02:24:00", "-11:32:13", "+11:32:13", "0", "0.86"))
NOTHING = Query("none", "box selecting nothing",
                box=Box("06:00:00", "06:00:02", "+30:00:00", "+30:00:30", "0", "10"))

ALL = [EMPTY, SMALL_BOX, CONE_SMALL, CONE_LARGE, ONE_PERCENT, NOTHING]


def split(text):
    """A bound's sign (1 or -1) and its three fields as floats: "-00:30:00" gives -1, 0, 30, 0."""
    sign = -1 if text.startswith("-") else 1
    whole, minutes, seconds = (float(part) for part in text.lstrip("+-").split(":"))
    return sign, whole, minutes, seconds


def ascension_degrees(hours, minutes, seconds):
    """15 * (h + m/60 + s/3600) in this order, 24h giving 0h, as the cone search computes it."""
    degrees = 15.0 * (hours + minutes / 60.0 + seconds / 3600.0)
    return degrees % 360.0 if degrees >= 360.0 else degrees


def declination_degrees(sign, degrees, minutes, seconds):
    """sign * (d + m/60 + s/3600), as the cone search computes it."""
    return sign * (degrees + minutes / 60.0 + seconds / 3600.0)


def degree_bounds(box):
    """The box as (ra_min, ra_max, dec_min, dec_max, z_min, z_max), angles in degrees."""
    return (ascension_degrees(*split(box.ra_min)[1:]), ascension_degrees(*split(box.ra_max)[1:]),
            declination_degrees(*split(box.dec_min)), declination_degrees(*split(box.dec_max)),
            float(box.z_min), float(box.z_max))


def form_fields(box):
    """The box as the site's form of seventeen fields sends it."""
    fields = {"epoch": "2000"}
    for side, ra, dec in (("min", box.ra_min, box.dec_min), ("max", box.ra_max, box.dec_max)):
        h, m, s = ra.split(":")
        fields.update({f"ra_{side}_h": h, f"ra_{side}_m": m, f"ra_{side}_s": s})
        d, dm, ds = dec.lstrip("+-").split(":")
        fields.update({f"dec_{side}_sign": dec[0], f"dec_{side}_d": d, f"dec_{side}_m": dm,
                       f"dec_{side}_s": ds})
    fields.update({"z_min": box.z_min, "z_max": box.z_max})
    return fields


def served_path(query):
    """The path and query string a browser or a VO client sends for `query`."""
    if query.box:
        return "/results?" + urllib.parse.urlencode(form_fields(query.box))
    if query.cone:
        c = query.cone
        return f"/cone?RA={c.ra!r}&DEC={c.dec!r}&SR={c.radius!r}"
    return "/results"


def query_form(box):
    """The query.frm of a console galsift run on the box."""
    return (f"Epoch=2000\nMinimal ascension= {box.ra_min}\nMaximal ascension= {box.ra_max}\n"
            f"Minimal declination={box.dec_min}\nMaximal declination={box.dec_max}\n"
            f"Minimal redshift= {box.z_min}\nMaximal redshift= {box.z_max}\n")
