#!/usr/bin/python3
"""The site's cone search and downloads as astronomers' own tools use them, through
lighttpd and the query server started by scripts/serve on a free port, over a site whose
catalogue is sky_catalogue's:

  - pyvo's SCSService.search and STILTS's cone get exactly the entries astropy finds
    within each cone, and a refused request comes back as an error they report;
  - STILTS's votlint finds no error in a cone answer, an error answer or a download;
  - the VOTable and CSV downloads of a box query hold the page's rows, in its order;
  - with a row limit the page shows the first rows and a notice whose links give the
    whole selection and the complete page, which is galsift's own page byte for byte;
  - a long answer comes gzip-compressed to a client that accepts it.

    clients_test.py GALSIFT        (GALSIFT_BUILD names the build that scripts/serve serves)
"""
import gzip
import io
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse
import urllib.request
import warnings

import sky_catalogue

REPOSITORY = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PAGE_ROWS = 100  # the site's row limit in these tests
galsift = base = site = None
listed = sky_catalogue.entries()


def fetch(path, headers=None):
    """The status, headers and body of a GET of `path` on the site."""
    request = urllib.request.Request(base + path, headers=headers or {})
    with urllib.request.urlopen(request, timeout=60) as answer:
        return answer.status, answer.headers, answer.read()


def box_query(epoch, dec_min, dec_max, z_max):
    """The form data (the 17 fields) and the query.frm of a box over every right
    ascension, from `dec_min` to `dec_max` whole degrees and redshifts 0 to `z_max`."""
    sign = lambda value: "-" if value < 0 else "+"
    fields = {"epoch": epoch, "ra_min_h": 0, "ra_min_m": 0, "ra_min_s": 0,
              "ra_max_h": 24, "ra_max_m": 0, "ra_max_s": 0,
              "dec_min_sign": sign(dec_min), "dec_min_d": abs(dec_min), "dec_min_m": 0,
              "dec_min_s": 0, "dec_max_sign": sign(dec_max), "dec_max_d": abs(dec_max),
              "dec_max_m": 0, "dec_max_s": 0, "z_min": 0, "z_max": z_max}
    form = (f"Epoch={epoch}\nMinimal ascension= 0:0:0\nMaximal ascension= 24:0:0\n"
            f"Minimal declination={sign(dec_min)}{abs(dec_min)}:0:0\n"
            f"Maximal declination={sign(dec_max)}{abs(dec_max)}:0:0\n"
            f"Minimal redshift= 0\nMaximal redshift= {z_max}\n")
    return urllib.parse.urlencode(fields), form


def console_page(form):
    """galsift's own page for the query.frm `form`, run in a folder of the site's files."""
    with tempfile.TemporaryDirectory() as folder:
        for name in os.listdir(site):
            shutil.copy(os.path.join(site, name), folder)
        with open(os.path.join(folder, "query.frm"), "w") as out:
            out.write(form)
        subprocess.run([galsift], cwd=folder, capture_output=True, check=True)
        with open(os.path.join(folder, "results.html"), "rb") as page:
            return page.read()


ROW = re.compile(rb'<tr[^>]*>\n((?:  <td align="[^"]*">\n.*?\n  </td>\n){5})</tr>\n', re.S)
CELL = re.compile(rb'  <td align="[^"]*">\n(.*?)\n  </td>\n', re.S)


def page_rows(page):
    return [[cell.strip().decode("latin-1") for cell in CELL.findall(row)]
            for row in ROW.findall(page)]


def votlint(document):
    """votlint's complaints about `document` that are errors, not warnings."""
    with tempfile.NamedTemporaryFile(suffix=".vot") as file:
        file.write(document)
        file.flush()
        done = subprocess.run(["stilts", "votlint", f"votable={file.name}"],
                              capture_output=True, text=True, timeout=120, check=True)
    return [line for line in (done.stdout + done.stderr).splitlines() if "ERROR" in line]


def names_at(indices):
    return [listed[n].text(listed[n].name) for n in indices]


class ConeSearch(unittest.TestCase):
    def test_pyvo_finds_what_astropy_finds(self):
        import pyvo
        service = pyvo.dal.SCSService(base + "/cone")
        for name, ra, dec, radius in sky_catalogue.CONES:
            with self.subTest(name):
                expected, _ = sky_catalogue.within(listed, ra, dec, radius)
                with warnings.catch_warnings():
                    warnings.simplefilter("ignore")  # the UCD1 words, expected
                    table = service.search(pos=(ra, dec), radius=radius).to_table()
                self.assertEqual([str(n) for n in table["id"]], names_at(expected))
        with self.assertRaises(pyvo.dal.DALQueryError):
            service.search(pos=(10, 10), radius=200)

    def test_stilts_cone_finds_what_astropy_finds(self):
        for name, ra, dec, radius in sky_catalogue.CONES[:3]:
            with self.subTest(name):
                expected, _ = sky_catalogue.within(listed, ra, dec, radius)
                done = subprocess.run(
                    ["stilts", "cone", f"serviceurl={base}/cone", f"lon={ra!r}", f"lat={dec!r}",
                     f"radius={radius!r}", "ofmt=csv-noheader", "ocmd=keepcols id", "out=-"],
                    capture_output=True, text=True, timeout=120, check=True)
                self.assertEqual(done.stdout.splitlines(), names_at(expected))

    def test_votlint_finds_no_error(self):
        for path in ("/cone?RA=0&DEC=90&SR=0.5&VERB=3", "/cone?RA=0&DEC=90",
                     "/cone?RA=10&DEC=10&SR=0", "/results?" + box_query(1950, -45, 45, 1.5)[0] +
                     "&format=votable"):
            with self.subTest(path):
                status, headers, body = fetch(path)
                self.assertEqual(status, 200)
                self.assertTrue(headers["Content-Type"].startswith("text/xml;content=x-votable"))
                self.assertEqual(votlint(body), [])
        # votlint does report a broken document (its exit status says nothing).
        self.assertNotEqual(votlint(body.replace(b'datatype="double"', b'datatype="real"')), [])


class Downloads(unittest.TestCase):
    def test_downloads_hold_the_page_rows(self):
        from astropy.io import ascii
        from astropy.io.votable import parse
        query, form = box_query(2000, -45, 45, 0.3)
        page = fetch("/results?" + query)[2]
        rows = page_rows(page)
        self.assertTrue(0 < len(rows) <= PAGE_ROWS, len(rows))
        self.assertEqual(page, console_page(form))
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            table = parse(io.BytesIO(fetch("/results?" + query + "&format=votable")[2]))
        votable_rows = [[str(row["ra_hms"]), str(row["dec_dms"]), str(row["identification"])]
                        for row in table.get_first_table().array]
        status, headers, body = fetch("/results?" + query + "&format=csv")
        self.assertTrue(headers["Content-Type"].startswith("text/csv"))
        csv = ascii.read(body.decode("utf-8"), format="csv")
        csv_rows = [[str(row["ra_J2000_hms"]), str(row["dec_J2000_dms"]),
                     str(row["identification"])] for row in csv]
        page_columns = [[row[0], row[1], row[3]] for row in rows]
        self.assertEqual(votable_rows, page_columns)
        self.assertEqual(csv_rows, page_columns)


class LongAnswers(unittest.TestCase):
    def test_cut_page_and_its_links(self):
        query, form = box_query(2000, -90, 90, 10)
        page = fetch("/results?" + query)[2]
        self.assertEqual(len(page_rows(page)), PAGE_ROWS)
        self.assertIn(f"only the first {PAGE_ROWS} records".encode(), page)
        self.assertTrue(re.search(rf"There are {len(listed)} +records".encode(), page))
        links = [link.replace(b"&amp;", b"&").decode()
                 for link in re.findall(rb'<a href="(results\?[^"]*)"', page)]
        self.assertEqual(len(links), 3)
        whole = console_page(form)
        for link in links:
            body = fetch("/" + link)[2]
            if "format=votable" in link:
                self.assertEqual(body.count(b"<TR>"), len(listed))
            elif "format=csv" in link:
                self.assertEqual(body.count(b"\r\n"), len(listed) + 1 + body.count(b'"\r\n"'))
            else:
                self.assertEqual(body, whole)

    def test_long_answers_compressed(self):
        path = "/results?" + box_query(2000, -90, 90, 10)[0] + "&format=csv"
        plain = fetch(path)[2]
        status, headers, body = fetch(path, {"Accept-Encoding": "gzip"})
        self.assertEqual(headers["Content-Encoding"], "gzip")
        self.assertLess(len(body), len(plain) / 2)
        self.assertEqual(gzip.decompress(body), plain)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_site():
    """scripts/serve on a free port; returns the process once the form page answers."""
    global base
    port = free_port()
    environment = dict(os.environ, GALSIFT_SITE=site, GALSIFT_PAGE_ROWS=str(PAGE_ROWS))
    server = subprocess.Popen([os.path.join(REPOSITORY, "scripts", "serve"), str(port)],
                              env=environment, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              start_new_session=True)
    base = f"http://127.0.0.1:{port}"
    deadline = time.time() + 30
    while time.time() < deadline and server.poll() is None:
        try:
            if fetch("/query.htm")[0] == 200:
                return server
        except OSError:
            time.sleep(0.1)
    server.kill()
    raise RuntimeError(f"scripts/serve did not come up: {server.stdout.read().decode()}")


if __name__ == "__main__":
    sky_catalogue.require("astropy", "pyvo")
    missing = [tool for tool in ("stilts",) if not shutil.which(tool)]
    if not shutil.which("lighttpd") and not os.path.exists("/usr/sbin/lighttpd"):
        missing.append("lighttpd")
    if missing:
        print(f"skipped: {', '.join(missing)} missing (apt-get install {' '.join(missing)})")
        sys.exit(1 if os.environ.get("CI") else sky_catalogue.SKIPPED)
    galsift = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as folder:
        site = folder
        for name in ("query.htm", "introduction.htm", "references.htm", "style.var"):
            shutil.copy(os.path.join(REPOSITORY, "example", name), folder)
        for name in ("CG2000.dat", "CG1950.dat"):
            with open(os.path.join(folder, name), "wb") as out:
                out.write(sky_catalogue.catalogue(listed))
        os.chmod(folder, 0o755)
        server = start_site()
        try:
            result = unittest.main(argv=sys.argv[:1], verbosity=2, exit=False).result
        finally:
            server.terminate()
            server.wait(30)
    sys.exit(0 if result.wasSuccessful() else 1)
