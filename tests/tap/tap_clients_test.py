#!/usr/bin/python3
"""The table access service as astronomers' own tools use it, through lighttpd and the
query server started by scripts/serve on a free port, over a site whose catalogue is
sky_catalogue's (tests/vo):

  - STILTS taplint, every stage, finds no error but the one this service incurs by
    design (E-CAP-MUPM: it takes uploads inline only, and fetches no URL);
  - pyvo's TAPService, sync and async, finds exactly what astropy finds: the entries within
    cones (SkyCoord.separation) and ADQL boxes (offsets in the box centre's
    skyoffset_frame), a redshift count, the TOP rows by redshift, and the pairs of a
    cross-match of uploaded positions (search_around_sky); MAXREC cuts with an overflow,
    a syntax error is reported with its place;
  - STILTS tapquery (sync and async) and tapskymatch give the same answers.

    tap_clients_test.py       (GALSIFT_BUILD names the build that scripts/serve serves)
"""
import io
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request
import warnings

HERE = os.path.dirname(os.path.abspath(__file__))
REPOSITORY = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(REPOSITORY, "tests", "vo"))
import sky_catalogue  # noqa: E402

listed = sky_catalogue.entries()
base = None

# ADQL boxes: centre, width, height (degrees).
BOXES = [(150.0, 10.0, 1.0, 1.0), (0.0, -5.0, 0.1, 0.2), (80.0, -30.0, 40.0, 20.0),
         (10.0, 85.0, 20.0, 6.0)]


def astropy_positions():
    import astropy.units as u
    from astropy.coordinates import SkyCoord
    positions = [entry.position() for entry in listed]
    return SkyCoord(ra=[p[0] for p in positions] * u.deg, dec=[p[1] for p in positions] * u.deg,
                    frame="icrs")


def in_box(sky, ra, dec, width, height):
    """The entries astropy puts inside ADQL's BOX: in the skyoffset_frame of the centre,
    tan(lon) within tan(width/2) and tan(lat)/cos(lon) within tan(height/2), on the
    centre's side of the sky."""
    import numpy
    import astropy.units as u
    from astropy.coordinates import SkyCoord
    centre = SkyCoord(ra=ra * u.deg, dec=dec * u.deg, frame="icrs")
    offset = sky.transform_to(centre.skyoffset_frame())
    lon, lat = offset.lon.rad, offset.lat.rad
    front = numpy.cos(lon) * numpy.cos(lat) > 0
    x = numpy.abs(numpy.tan(lon))
    y = numpy.abs(numpy.tan(lat) / numpy.cos(lon))
    inside = front & (x <= numpy.tan(numpy.radians(width / 2))) & \
        (y <= numpy.tan(numpy.radians(height / 2)))
    return sorted(int(n) + 1 for n in numpy.nonzero(inside)[0])


def service():
    import pyvo
    return pyvo.dal.TAPService(base + "/tap")


def quiet(call, *arguments, **keywords):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")
        return call(*arguments, **keywords)


def uploaded_positions(count=400):
    """Positions to match: every third an entry's own, the rest at random."""
    import random
    from astropy.table import Table
    generator = random.Random(7)
    rows = []
    for n in range(count):
        if n % 3 == 0:
            ra, dec = listed[generator.randrange(len(listed))].position()
        else:
            ra, dec = generator.uniform(0, 360), generator.uniform(-90, 90)
        rows.append((n, ra, dec))
    return Table(rows=rows, names=("k", "ra", "dec"))


def astropy_pairs(table, radius):
    import astropy.units as u
    from astropy.coordinates import SkyCoord, search_around_sky
    mine = SkyCoord(ra=table["ra"] * u.deg, dec=table["dec"] * u.deg, frame="icrs")
    theirs, ours, _, _ = search_around_sky(mine, astropy_positions(), radius * u.deg)
    return sorted((int(table["k"][a]), int(b) + 1) for a, b in zip(theirs, ours))


class Pyvo(unittest.TestCase):
    def test_cones_are_astropys(self):
        for name, ra, dec, radius in sky_catalogue.CONES:
            with self.subTest(name):
                expected, _ = sky_catalogue.within(listed, ra, dec, radius)
                table = quiet(service().run_sync,
                              f"SELECT entry FROM galsift.cg2000 WHERE 1 = CONTAINS("
                              f"POINT('ICRS', ra, dec), CIRCLE('ICRS', {ra!r}, {dec!r}, "
                              f"{radius!r})) ORDER BY entry", maxrec=100000).to_table()
                self.assertEqual(list(table["entry"]), [n + 1 for n in sorted(expected)])

    def test_boxes_are_astropys(self):
        sky = astropy_positions()
        for ra, dec, width, height in BOXES:
            with self.subTest((ra, dec, width, height)):
                table = quiet(service().run_sync,
                              f"SELECT entry FROM galsift.cg2000 WHERE 1 = CONTAINS("
                              f"POINT('ICRS', ra, dec), BOX('ICRS', {ra!r}, {dec!r}, "
                              f"{width!r}, {height!r})) ORDER BY entry",
                              maxrec=100000).to_table()
                self.assertEqual(list(table["entry"]), in_box(sky, ra, dec, width, height))

    def test_aggregates_and_order(self):
        redshifts = [entry.z for entry in listed]
        table = quiet(service().run_async,
                      "SELECT COUNT(*) AS n, MAX(z) AS highest FROM galsift.cg2000 "
                      "WHERE z BETWEEN 1 AND 2.5").to_table()
        inside = [z for z in redshifts if 1 <= z <= 2.5]
        self.assertEqual((int(table["n"][0]), float(table["highest"][0])), (len(inside), max(inside)))
        table = quiet(service().run_sync,
                      "SELECT TOP 7 entry, z FROM galsift.cg2000 ORDER BY z DESC, entry").to_table()
        order = sorted(range(len(listed)), key=lambda n: (-redshifts[n], n))[:7]
        self.assertEqual(list(table["entry"]), [n + 1 for n in order])

    def test_cross_match_is_search_around_sky(self):
        positions = uploaded_positions()
        for run in ("run_sync", "run_async"):
            with self.subTest(run):
                table = quiet(getattr(service(), run),
                              "SELECT u.k, c.entry FROM TAP_UPLOAD.mine AS u JOIN galsift.cg2000 "
                              "AS c ON 1 = CONTAINS(POINT('ICRS', c.ra, c.dec), "
                              "CIRCLE('ICRS', u.ra, u.dec, 1.5))",
                              uploads={"mine": positions}, maxrec=100000).to_table()
                found = sorted(zip((int(k) for k in table["k"]), (int(e) for e in table["entry"])))
                self.assertEqual(found, astropy_pairs(positions, 1.5))

    def test_limits_and_errors(self):
        import pyvo
        result = quiet(service().run_sync, "SELECT entry FROM galsift.cg2000", maxrec=5)
        self.assertEqual((len(result), result.query_status), (5, "OVERFLOW"))
        with self.assertRaises(pyvo.dal.DALQueryError) as raised:
            quiet(service().run_sync, "SELECT entry FROM galsift.cg2000 WHERE z = = 1")
        self.assertIn('Encountered "=" at line 1, column 44', str(raised.exception))


def stilts(*arguments):
    done = subprocess.run(["stilts", *arguments], capture_output=True, text=True, timeout=600)
    if done.returncode:
        raise AssertionError(f"stilts {' '.join(arguments)}: {done.stderr}")
    return done.stdout


class Stilts(unittest.TestCase):
    def test_taplint_finds_no_error(self):
        report = stilts("taplint", f"tapurl={base}/tap", "stages=TMV TME TMS TMC CPV CAP AVV "
                        "QGE QPO QAS UWS MDQ UPL EXA", "report=EWF")
        errors = [line for line in report.splitlines()
                  if line.startswith(("E-", "F-")) and not line.startswith("E-CAP-MUPM")]
        self.assertEqual(errors, [])
        self.assertIn("Totals: Errors: 1; Warnings: 0;", report)

    def test_tapquery_sync_and_async(self):
        expected, _ = sky_catalogue.within(listed, 80.0, -30.0, 35.0)
        adql = ("SELECT entry FROM galsift.cg2000 WHERE 1 = CONTAINS(POINT('ICRS', ra, dec), "
                "CIRCLE('ICRS', 80.0, -30.0, 35.0)) ORDER BY entry")
        for sync in ("true", "false"):
            with self.subTest(sync=sync):
                out = stilts("tapquery", f"tapurl={base}/tap", f"adql={adql}", f"sync={sync}",
                             "maxrec=100000", "ofmt=csv-noheader", "out=-")
                self.assertEqual([int(n) for n in out.split()], [n + 1 for n in sorted(expected)])

    def test_tapskymatch_is_search_around_sky(self):
        positions = uploaded_positions(200)
        with tempfile.NamedTemporaryFile(suffix=".vot") as file:
            positions.write(file.name, format="votable", overwrite=True)
            out = stilts("tapskymatch", f"in={file.name}", "inlon=ra", "inlat=dec",
                         f"tapurl={base}/tap", "taptable=galsift.cg2000", "taplon=ra",
                         "taplat=dec", f"sr={1.5!r}", "find=all", "tapcols=entry",
                         "ocmd=keepcols 'k entry'", "ofmt=csv-noheader", "out=-")
        found = sorted(tuple(int(v) for v in line.split(",")) for line in out.splitlines())
        self.assertEqual(found, astropy_pairs(positions, 1.5))


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_site(site):
    """scripts/serve on a free port; returns the process once the service answers."""
    global base
    port = free_port()
    environment = dict(os.environ, GALSIFT_SITE=site)
    server = subprocess.Popen([os.path.join(REPOSITORY, "scripts", "serve"), str(port)],
                              env=environment, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              start_new_session=True)
    base = f"http://127.0.0.1:{port}"
    deadline = time.time() + 60
    while time.time() < deadline and server.poll() is None:
        try:
            with urllib.request.urlopen(base + "/tap/availability", timeout=10) as answer:
                if b"<vosi:available>true" in answer.read():
                    return server
        except OSError:
            pass
        time.sleep(0.2)
    server.kill()
    raise RuntimeError(f"scripts/serve did not come up: {server.stdout.read().decode()}")


if __name__ == "__main__":
    sky_catalogue.require("astropy", "pyvo", "numpy", "scipy")
    missing = [tool for tool in ("stilts",) if not shutil.which(tool)]
    if not shutil.which("lighttpd") and not os.path.exists("/usr/sbin/lighttpd"):
        missing.append("lighttpd")
    if missing:
        print(f"skipped: {', '.join(missing)} missing (apt-get install {' '.join(missing)})")
        sys.exit(1 if os.environ.get("CI") else sky_catalogue.SKIPPED)
    with tempfile.TemporaryDirectory() as folder:
        for name in ("query.htm", "introduction.htm", "references.htm", "style.var"):
            shutil.copy(os.path.join(REPOSITORY, "example", name), folder)
        for name in ("CG2000.dat", "CG1950.dat"):
            with open(os.path.join(folder, name), "wb") as out:
                out.write(sky_catalogue.catalogue(listed))
        os.chmod(folder, 0o755)
        server = start_site(folder)
        try:
            result = unittest.main(argv=sys.argv[:1], verbosity=2, exit=False).result
        finally:
            server.terminate()
            server.wait(30)
    sys.exit(0 if result.wasSuccessful() else 1)
