"""What the example site's tests share: reading the catalogue and the query form by their
file formats, choosing the entries a query selects by the selection rules, and loading the
catalogue generator as a module.

The selection is worked out here, from the rules, not taken from the program: an entry is
selected when its declination, right ascension and redshift each lie inside the query's
interval, ends included, angles compared as signed seconds; a declination whose degrees are
written "-00" keeps its minus sign.
"""
import importlib.machinery
import importlib.util
import math
import os
import sys

REPOSITORY = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EXAMPLE = os.path.join(REPOSITORY, "example")
GENERATOR = os.path.join(REPOSITORY, "scripts", "make-example")
IMPORTER = os.path.join(REPOSITORY, "src", "tools", "galsift-import")


def load_script(path, name):
    """A script without a .py suffix as a module, without a bytecode file."""
    sys.dont_write_bytecode = True
    loader = importlib.machinery.SourceFileLoader(name, path)
    spec = importlib.util.spec_from_loader(name, loader)
    module = importlib.util.module_from_spec(spec)
    loader.exec_module(module)
    return module


def load_generator():
    """scripts/make-example as a module."""
    return load_script(GENERATOR, "make_example")


def load_importer():
    """src/tools/galsift-import as a module."""
    return load_script(IMPORTER, "galsift_import")


def astropy_missing():
    """Why Debian's interpreter cannot run galsift-import here, or None when it can."""
    import subprocess
    found = subprocess.run(["/usr/bin/python3", "-c", "import astropy"],
                           capture_output=True) if os.path.exists("/usr/bin/python3") else None
    if found is None or found.returncode != 0:
        return "Debian's /usr/bin/python3 with python3-astropy is missing"
    return None


def seconds(sign, whole, minutes, secs):
    """A sexagesimal angle as signed seconds: sign * (whole * 3600 + minutes * 60 + secs)."""
    return sign * (whole * 3600.0 + minutes * 60.0 + secs)


def read_catalogue_line(line):
    """One catalogue entry as a dict: ra and dec in signed seconds (of time, of arc),
    dec_text as written ("-00$20$44.0"), redshift, identification, reference (texts as
    between their dollar signs) and the line itself. ValueError if it is not nine fields
    each ended by a dollar sign."""
    fields = line.rstrip("\n").split("$")
    if len(fields) != 10 or fields[9] != "":
        raise ValueError(f"not nine fields ended by '$': {line!r}")
    h, m, s, d, dm, ds, z = (float(x) for x in fields[:7])
    sign = -1 if fields[3].strip().startswith("-") else 1
    return {
        "ra": seconds(1, h, m, s),
        "dec": seconds(sign, abs(d), dm, ds),
        "dec_text": "$".join(fields[3:6]),
        "redshift": z,
        "identification": fields[7],
        "reference": fields[8],
        "line": line,
    }


def read_catalogue(path):
    """The entries of a catalogue file, in file order (see read_catalogue_line)."""
    with open(path, "r", encoding="ascii", newline="") as f:
        return [read_catalogue_line(line) for line in f]


def angle(text, signed):
    """"hh:mm:ss" or "+dd:mm:ss" as signed seconds."""
    sign = 1
    if signed:
        sign = -1 if text[0] == "-" else 1
        text = text[1:]
    whole, minutes, secs = (float(x) for x in text.split(":"))
    return seconds(sign, whole, minutes, secs)


def read_query(path):
    """The seven entries of a query form written one per line as "Label=value"."""
    with open(path, "r", encoding="ascii") as f:
        values = [line.split("=", 1)[1].strip() for line in f if "=" in line]
    epoch, ra_min, ra_max, dec_min, dec_max, z_min, z_max = values
    return {
        "epoch": int(epoch),
        "ra": (angle(ra_min, False), angle(ra_max, False)),
        "dec": (angle(dec_min, True), angle(dec_max, True)),
        "redshift": (float(z_min), float(z_max)),
    }


def query_form(epoch, ra, dec, redshift):
    """The text of a query form, in the layout of example/query.frm."""
    return (
        f"Epoch={epoch}\n"
        f"Minimal ascension= {ra[0]}\nMaximal ascension= {ra[1]}\n"
        f"Minimal declination={dec[0]}\nMaximal declination={dec[1]}\n"
        f"Minimal redshift= {redshift[0]}\nMaximal redshift= {redshift[1]}\n"
    )


def selected(entries, query):
    """The entries the query selects, in catalogue order."""
    def inside(value, bounds):
        return bounds[0] <= value <= bounds[1]

    return [
        e for e in entries
        if inside(e["dec"], query["dec"]) and inside(e["ra"], query["ra"])
        and inside(e["redshift"], query["redshift"])
    ]


def catalogue_name(epoch):
    """The catalogue file of an epoch."""
    return {2000: "CG2000.dat", 1950: "CG1950.dat"}[epoch]


def separation(ra1, dec1, ra2, dec2):
    """Angle between two positions given in degrees, in seconds of arc."""
    a1, d1, a2, d2 = (math.radians(x) for x in (ra1, dec1, ra2, dec2))
    # The haversine form keeps sub-arcsecond angles accurate.
    h = math.sin((d2 - d1) / 2) ** 2 + math.cos(d1) * math.cos(d2) * math.sin((a2 - a1) / 2) ** 2
    return math.degrees(2 * math.asin(math.sqrt(h))) * 3600.0
