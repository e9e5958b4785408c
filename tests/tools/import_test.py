#!/usr/bin/python3
"""galsift-import: tables in every format it reads, written into catalogue files that read
back, by galsift's reading rules, as the positions meant, the B1950 ones FK4 as astropy
computes them; and every kind of row it must refuse without writing anything.

    import_test.py GALSIFT_IMPORT [GALSIFT_CHECK]

Exits 77 (skipped) when Debian's astropy is missing.
"""
import math
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

try:
    import numpy as np
    from astropy import units as u
    from astropy.coordinates import FK4, FK5, SkyCoord
    from astropy.table import Table
except ImportError:
    print("skipped: astropy is missing (apt-get install python3-astropy)")
    sys.exit(77)

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "example"))
import example_site  # noqa: E402  the catalogue format's reading rules

IMPORT = CHECK = None
J2000_TOLERANCE = 0.05  # seconds of arc between the written and the given position
B1950_TOLERANCE = 0.1  # seconds of arc between the written position and astropy's FK4

# name, ra, dec (degrees), z, reference: carries of rounding through 60 s, 60 min and 24h,
# "-00" degrees, the south pole's neighbourhood, a name that is a number with a leading
# zero.
ROWS = [
    ("NGC 0001", 1.8125, 27.70833, 0.0152, "Smith et al. 2001"),
    ("J2359-0030", 359.99999999, -0.5, 2.345, "Ref B"),
    ("near pole", 123.4, -89.99, 6.5, "R"),
    ("carry", 15 * (1 + 59 / 60 + 59.99996 / 3600), 1 + 59 / 60 + 59.99996 / 3600, 0.5, "R2"),
    ("0123", 200.123456, 45.0, 1.0, "Zoric & Odegard 2010"),
    ("just south", 47.25, -0.0001, 0.25, ""),
    ("M 86", 186.54925, 12.94597, -0.000814, "blueshifted"),
]


def run(*args):
    return subprocess.run([IMPORT, *args], capture_output=True, text=True, timeout=120)


def separation(ra1, dec1, ra2, dec2):
    """Seconds of arc between two positions in degrees, by astropy."""
    a = SkyCoord(ra1 * u.deg, dec1 * u.deg)
    b = SkyCoord(ra2 * u.deg, dec2 * u.deg)
    return a.separation(b).arcsec


def read_back(path):
    """The entries of a catalogue file by galsift's reading rules, positions in degrees."""
    with open(path, encoding="utf-8", newline="") as f:
        entries = [example_site.read_catalogue_line(line) for line in f]
    for e in entries:
        e["ra"], e["dec"] = e["ra"] / 240.0, e["dec"] / 3600.0
    return entries


def read_pair(site):
    """The texts of the site's two catalogue files."""
    pair = []
    for name in ("CG2000.dat", "CG1950.dat"):
        with open(os.path.join(site, name), encoding="utf-8") as f:
            pair.append(f.read())
    return pair


def table(names):
    """ROWS as an astropy table whose columns carry `names`."""
    columns = list(zip(*ROWS))
    return Table([list(columns[0]), np.array(columns[1]), np.array(columns[2]),
                  np.array(columns[3]), list(columns[4])], names=names)


class RoundTrips(unittest.TestCase):
    def test_every_format(self):
        expected = SkyCoord([r[1] for r in ROWS] * u.deg, [r[2] for r in ROWS] * u.deg,
                            frame=FK5(equinox="J2000")).transform_to(
                                FK4(equinox="B1950", obstime="B1950"))
        formats = [
            ("table.csv", "ascii.csv", ("name", "ra", "dec", "z", "reference")),
            ("table.tsv", "ascii.tab", ("Name", "RA", "Dec", "Z", "Ref")),
            ("table.ecsv", "ascii.ecsv", ("id", "raj2000", "dej2000", "redshift", "bibcode")),
            ("table.xml", "votable", ("identification", "RAJ2000", "DEJ2000", "z", "ref")),
            ("table.fits", "fits", ("ID", "RA", "DEC", "REDSHIFT", "REFERENCE")),
        ]
        for file_name, format_name, names in formats:
            with self.subTest(format_name), tempfile.TemporaryDirectory() as work:
                source = os.path.join(work, file_name)
                table(names).write(source, format=format_name)
                result = run(source, os.path.join(work, "site"))
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn(f"{len(ROWS)} entries", result.stdout)
                new = read_back(os.path.join(work, "site", "CG2000.dat"))
                old = read_back(os.path.join(work, "site", "CG1950.dat"))
                self.assertEqual(len(new), len(ROWS))
                self.assertEqual(len(old), len(ROWS))
                for row, a, b, fk4 in zip(ROWS, new, old, expected):
                    name, ra, dec, z, reference = row
                    for e in (a, b):
                        self.assertEqual(e["identification"], name)
                        self.assertEqual(e["reference"], reference)
                        self.assertEqual(e["redshift"], z)
                    self.assertLessEqual(separation(ra, dec, a["ra"], a["dec"]),
                                         J2000_TOLERANCE, a["line"])
                    self.assertLessEqual(separation(fk4.ra.deg, fk4.dec.deg, b["ra"], b["dec"]),
                                         B1950_TOLERANCE, b["line"])
                    # Seconds and minutes below 60 as written: rounding carried.
                    fields = a["line"].split("$")
                    for index in (1, 2, 4, 5):
                        self.assertLess(float(fields[index]), 60, a["line"])
                self.assertTrue(new[1]["line"].startswith("00$00$00.000$-00$30$00.00$"))
                self.assertTrue(new[3]["line"].startswith("02$00$00.000$+02$00$00.00$"))
                self.assertTrue(new[5]["line"].startswith("03$09$00.000$-00$00$00.36$"))
                if CHECK:
                    for epoch in ("2000", "1950"):
                        checked = subprocess.run(
                            [CHECK, os.path.join(work, "site", f"CG{epoch}.dat")],
                            capture_output=True, text=True, timeout=60)
                        # The one finding is M 86's blueshift, the last line: a warning,
                        # in the words the import used.
                        self.assertEqual(checked.returncode, 0, checked.stdout)
                        findings = checked.stdout.splitlines()[:-1]
                        self.assertEqual(len(findings), 1, checked.stdout)
                        self.assertIn(f":{len(ROWS)}: warning: negative redshift", findings[0])
                        self.assertIn(findings[0] + "\n", result.stdout)

    def test_texts_as_given_and_sexagesimal_positions(self):
        with tempfile.TemporaryDirectory() as work:
            source = os.path.join(work, "t.csv")
            with open(source, "w", encoding="utf-8") as f:
                f.write("galaxy,position_ra,position_dec,z,paper\n"
                        "007,12:34:56.789,-00:30:00,0.1230,\"Smith, J.\"\n"
                        "X,12h34m56.789s,-0d30m0s,1e-3,Y\n"
                        "Z,12 34 56.789,-00 30,2,\n")
            result = run("--name", "galaxy", "--ra", "position_ra", "--dec", "position_dec",
                         "--reference", "paper", source, work)
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(os.path.join(work, "CG2000.dat"), encoding="utf-8") as f:
                self.assertEqual(f.read(),
                                 "12$34$56.789$-00$30$00.00$0.1230$007$Smith, J.$\n"
                                 "12$34$56.789$-00$30$00.00$1e-3$X$Y$\n"
                                 "12$34$56.789$-00$30$00.00$2$Z$$\n")
            # One place three times: the import's warnings are the check's, word for word.
            if CHECK:
                checked = subprocess.run([CHECK, work], capture_output=True, text=True)
                self.assertEqual(checked.returncode, 0, checked.stdout)
                warned = [line for line in checked.stdout.splitlines() if ": warning: " in line]
                self.assertEqual(len(warned), 4, checked.stdout)
                self.assertEqual(result.stdout.splitlines()[:-1], warned)


class Interrupted(unittest.TestCase):
    """A run killed (by strace's fault injection) at a step of its writing, then a run
    whose table is refused: the second finishes or undoes the first, says which, and
    leaves a pair that belongs together."""

    def test_killed_while_writing_or_moving(self):
        if not shutil.which("strace"):
            self.skipTest("strace is missing")
        cases = [  # the call killed at its second use, the pair left, what the next run says
            ("fsync", "earlier", "removed its temporary files .CG1950.dat.import, "
                                 ".CG2000.dat.import"),
            ("rename", "newer", "moved in now: CG1950.dat"),
        ]
        header = "name,ra,dec,z,reference\n"
        tables = {"earlier": header + "A,10,20,0.5,R\n",
                  "newer": header + "A,10,20,0.5,R\nB,11,21,-0.5,R\n",
                  "refused": header + "A,1,2,,R\n"}
        for call, kept, said in cases:
            with self.subTest(call), tempfile.TemporaryDirectory() as work:
                site = os.path.join(work, "site")
                for name, text in tables.items():
                    with open(os.path.join(work, name + ".csv"), "w") as f:
                        f.write(text)
                pairs = {}
                for name in ("newer", "earlier"):
                    self.assertEqual(run(os.path.join(work, name + ".csv"), site).returncode, 0)
                    pairs[name] = read_pair(site)
                killed = subprocess.run(
                    ["strace", "-f", "-o", os.devnull, "-e", f"trace={call}",
                     "-e", f"inject={call}:signal=KILL:when=2", IMPORT,
                     os.path.join(work, "newer.csv"), site], capture_output=True, timeout=120)
                self.assertNotEqual(killed.returncode, 0)
                if CHECK and call == "rename":
                    checked = subprocess.run([CHECK, site], capture_output=True, text=True)
                    self.assertIn("CG2000.dat holds 2 entries, CG1950.dat 1", checked.stdout)
                result = run(os.path.join(work, "refused.csv"), site)
                self.assertEqual(result.returncode, 1, result.stderr)
                self.assertIn(said, result.stdout)
                self.assertEqual(sorted(os.listdir(site)), ["CG1950.dat", "CG2000.dat"])
                self.assertEqual(read_pair(site), pairs[kept])


class Refusals(unittest.TestCase):
    GOOD = "A,10.0,20.0,0.5,R\n"

    def test_rows_that_cannot_be_written(self):
        # Each row after the first is refused for its own reason, and each is named.
        cases = [
            ('A$B,10,20,0.5,R', 'identification (name) holds a "$"'),
            ('A,10,20,0.5,"two\nlines"', "reference (reference) holds a line end"),
            ('A,10,20,0.5,"cr\rhere"', "reference (reference) holds a line end"),
            (" " + "n" * 100 + " ,10,20,0.5,R", "identification (name) is 100 bytes long"),
            ("é" * 50 + ",10,20,0.5,R", "identification (name) is 100 bytes long"),
            ("A,360,20,0.5,R", "right ascension (ra) 360.0 degrees is outside"),
            ("A,-0.001,20,0.5,R", "right ascension (ra) -0.001 degrees is outside"),
            ("A,-00:30:00,20,0.5,R", "right ascension (ra) -7.5 degrees is outside"),
            ("A,24:00:00,20,0.5,R", "right ascension (ra) 360.0 degrees is outside"),
            ("A,12:30:60,20,0.5,R", "right ascension (ra) '12:30:60' has minutes or seconds"),
            ("A,12h60m,20,0.5,R", "right ascension (ra) '12h60m' has minutes or seconds"),
            ("A,12:30:00:1,20,0.5,R", "right ascension (ra) is neither a number nor"),
            ("A,ten,20,0.5,R", "right ascension (ra) is neither a number nor"),
            ("A,,20,0.5,R", "right ascension (ra) is missing"),
            ("A,10,90.0001,0.5,R", "declination (dec) 90.0001 degrees is outside"),
            ("A,10,-91,0.5,R", "declination (dec) -91.0 degrees is outside"),
            ("A,10,+90:00:01,0.5,R", "declination (dec) 90.0002"),
            ("A,10,20,,R", "redshift (z) is missing"),
            ("A,10,20,nan,R", "redshift (z) is not a number"),
            ("A,10,20,inf,R", "redshift (z) is not a number"),
            ("A,10,20,1_0,R", "redshift (z) is not a number"),
            ("A,10,20,0x1p3,R", "redshift (z) is not a number"),
        ]
        with tempfile.TemporaryDirectory() as work:
            source = os.path.join(work, "t.csv")
            with open(source, "w", encoding="utf-8", newline="") as f:
                f.write("name,ra,dec,z,reference\n" + self.GOOD +
                        "".join(row + "\n" for row, _ in cases) + self.GOOD)
            result = run(source, work)
            self.assert_refused(result, work, f"{len(cases)} of {len(cases) + 2} rows refused")
            refusals = result.stderr.splitlines()
            self.assertEqual(len(refusals), len(cases) + 1, result.stderr)
            for number, (line, (_, why)) in enumerate(zip(refusals, cases), 2):
                self.assertTrue(line.startswith(f"galsift-import: row {number}: {why}"), line)

    def test_non_finite_numbers_in_a_binary_table(self):
        with tempfile.TemporaryDirectory() as work:
            source = os.path.join(work, "t.fits")
            Table({"name": ["A", "B", "C"], "ra": [1.0, 2.0, 3.0], "dec": [3.0, 4.0, np.nan],
                   "z": [0.5, np.inf, 0.5], "ref": ["R", "R", "R"]}).write(source)
            result = run(source, work)
            self.assert_refused(result, work, "row 2: redshift (z) is not finite")
            self.assertIn("row 3: declination (dec) is missing", result.stderr)

    def assert_refused(self, result, work, message):
        self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
        self.assertIn(message, result.stderr)
        self.assertIn("nothing written", result.stderr)
        self.assertFalse([f for f in os.listdir(work) if f.endswith(".dat") or "CG" in f],
                         "something was written")

    def test_earlier_files_survive_a_refusal(self):
        with tempfile.TemporaryDirectory() as work:
            for name in ("CG2000.dat", "CG1950.dat"):
                with open(os.path.join(work, name), "w") as f:
                    f.write("earlier\n")
            source = os.path.join(work, "t.csv")
            with open(source, "w") as f:
                f.write("name,ra,dec,z,reference\n" + self.GOOD + "B,10,20,,R\n")
            self.assertEqual(run(source, work).returncode, 1)
            self.assertEqual(sorted(os.listdir(work)), ["CG1950.dat", "CG2000.dat", "t.csv"])
            for name in ("CG2000.dat", "CG1950.dat"):
                with open(os.path.join(work, name)) as f:
                    self.assertEqual(f.read(), "earlier\n")

    def test_cut_texts_on_request(self):
        with tempfile.TemporaryDirectory() as work:
            source = os.path.join(work, "t.csv")
            with open(source, "w", encoding="utf-8") as f:
                f.write("name,ra,dec,z,reference\n" + "a" * 98 + "é,10,20,0.5,R\n")
            result = run("--cut-texts", source, work)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertIn("1 texts cut to 99 bytes", result.stdout)
            entry, = read_back(os.path.join(work, "CG2000.dat"))
            self.assertEqual(entry["identification"], "a" * 98)  # not half a character

    def test_unusable_tables(self):
        with tempfile.TemporaryDirectory() as work:
            source = os.path.join(work, "t.csv")
            with open(source, "w") as f:
                f.write("name,ra,declination,z,reference\n" + self.GOOD)
            result = run(source, work)
            self.assertEqual(result.returncode, 2)
            self.assertIn("no declination column", result.stderr)
            result = run("--dec", "declination", "--z", "zspec", source, work)
            self.assertEqual(result.returncode, 2)
            self.assertIn("no column 'zspec'", result.stderr)
            result = run(os.path.join(work, "missing.csv"), work)
            self.assertEqual(result.returncode, 2)
            self.assertIn("cannot read", result.stderr)
            self.assertEqual(os.listdir(work), ["t.csv"])


class Progress(unittest.TestCase):
    def test_shown_on_a_terminal_only(self):
        with tempfile.TemporaryDirectory() as work:
            source = os.path.join(work, "table.csv")
            table(("name", "ra", "dec", "z", "reference")).write(source, format="ascii.csv")
            quiet = run(source, os.path.join(work, "quiet"))
            self.assertEqual((quiet.returncode, quiet.stderr), (0, ""))

            # Standard error on a terminal (a pseudo-terminal here), standard output not.
            leader, follower = os.openpty()
            try:
                ran = subprocess.run([IMPORT, source, os.path.join(work, "shown")],
                                     stdout=subprocess.PIPE, stderr=follower, timeout=120)
                os.close(follower)
                shown = b""
                while True:
                    try:
                        piece = os.read(leader, 65536)
                    except OSError:  # the terminal's other end is closed: all is read
                        break
                    if not piece:
                        break
                    shown += piece
            finally:
                os.close(leader)
            self.assertEqual(ran.returncode, 0, shown)
            last = shown.decode().split("\r\x1b[K")[-1]
            self.assertRegex(last, r"^galsift-import: done in \d+\.\d s: rows read 7 of 7, "
                                   r"rows written 7 of 7\r?\n$")
            self.assertIn(b"7 entries", ran.stdout)
            for name in ("CG2000.dat", "CG1950.dat"):
                with open(os.path.join(work, "quiet", name), "rb") as a, \
                        open(os.path.join(work, "shown", name), "rb") as b:
                    self.assertEqual(a.read(), b.read())


if __name__ == "__main__":
    IMPORT = sys.argv[1]
    CHECK = sys.argv[2] if len(sys.argv) > 2 else None
    unittest.main(argv=sys.argv[:1], verbosity=2)
