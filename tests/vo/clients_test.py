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
  - a long answer comes gzip-compressed to a client that accepts it;
  - the documents that describe the site (capabilities, availability, tables, the registry
    record) pass STILTS's xsdvalidate with the IVOA schemas it carries, the cone search's
    capability holds what the ConeSearch schema asks (STILTS carries no copy of it), and
    pyvo reads them; the tables name the columns the answers carry; the record printed by
    galsift-server --record is the one served;
  - MAXREC and RESPONSEFORMAT do what the IVOA's data access conventions say, an OVERFLOW
    status standing where pyvo's generic reader finds it;
  - the coverage map equals what STILTS's pixfoot makes of the same positions.

    clients_test.py GALSIFT        (GALSIFT_BUILD names the build that scripts/serve serves)
"""
import gzip
import io
import json
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
import xml.etree.ElementTree as ElementTree

import sky_catalogue

REPOSITORY = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PAGE_ROWS = 100  # the site's row limit in these tests
CONE_ROWS = 1000  # the cone search's, fewer than the catalogue's entries
MOC_ORDER = 8  # the coverage map's order, the publisher's setting
PUBLISHER = """# the test site's settings: the record's alone, so that its pages are the console's
identifier = ivo://test.example/galsift
publisher = The test institute
contact = T. Person <t.person@example.org>
description = Entries built to trip a cone search & its clients <here>.
subject = galaxies
reference_url = http://127.0.0.1/introduction.htm
site_url = {base}
created = 2020-02-02
frame_2000 = ICRS
moc_order = {order}
"""
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


def stilts(*arguments, check=True):
    return subprocess.run(["stilts", *arguments], capture_output=True, text=True, timeout=300,
                          check=check)


def xsd_errors(document):
    """What STILTS's xsdvalidate, with the IVOA schemas it carries, finds wrong in
    `document`."""
    with tempfile.NamedTemporaryFile(suffix=".xml") as file:
        file.write(document)
        file.flush()
        done = stilts("xsdvalidate", "uselocals=true", file.name, check=False)
    return [] if done.returncode == 0 else (done.stdout + done.stderr).splitlines()


CONE_CAPABILITY = re.compile(rb'(<capability standardID="ivo://ivoa.net/std/ConeSearch")'
                             rb' xsi:type="cs:ConeSearch">(.*?</interface>\n)(.*?)</capability>',
                             re.S)


def split_cone_capability(document):
    """`document` with its cone search capability cut down to what VOResource defines, and
    the elements the ConeSearch schema adds, parsed."""
    found = CONE_CAPABILITY.search(document)
    plain = document[:found.start()] + found.group(1) + b">" + found.group(2) + \
        b"  </capability>" + document[found.end():]
    return plain, ElementTree.fromstring(b"<own>" + found.group(3) + b"</own>")


def votable_of(body):
    from astropy.io.votable import parse
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # the UCD1 words of the cone search, expected
        return parse(io.BytesIO(body))


def expanded(cells, order):
    """The cells {(order, index)} as the set of cells at `order` they cover."""
    return {index * 4 ** (order - level) + n for level, index in cells
            for n in range(4 ** (order - level))}


def pixfoot_cells(positions, order):
    """pixfoot's MOC of `positions` [(ra, dec)] at `order`, as {(order, index)}."""
    with tempfile.TemporaryDirectory() as folder:
        table, moc = os.path.join(folder, "in.csv"), os.path.join(folder, "moc.json")
        with open(table, "w") as out:
            out.write("ra,dec\n" + "".join(f"{ra!r},{dec!r}\n" for ra, dec in positions))
        stilts("pixfoot", f"in={table}", "ifmt=csv", "ra=ra", "dec=dec", f"order={order}",
               "mocfmt=json", f"out={moc}")
        with open(moc) as text:
            return {(int(level), index) for level, cells in json.load(text).items()
                    for index in cells}


def on_cell_edges(positions, order):
    """The positions that lie on an edge of a HEALPix cell at `order`: those STILTS's own
    healpixNestIndex puts in another cell when moved by 1e-9 degrees (4 microseconds of
    arc, far below what a catalogue's fields tell apart)."""
    with tempfile.NamedTemporaryFile("w", suffix=".csv") as table:
        table.write("ra,dec\n" + "".join(f"{ra!r},{dec!r}\n" for ra, dec in positions))
        table.flush()
        nudges = ";".join(f"addcol n{n} healpixNestIndex({order},ra+{dra},dec+{ddec})"
                          for n, (dra, ddec) in enumerate(
                              [(0, 0), (1e-9, 0), (-1e-9, 0), (0, 1e-9), (0, -1e-9)]))
        done = stilts("tpipe", f"in={table.name}", "ifmt=csv", f"cmd={nudges}",
                      "ofmt=csv-noheader", "out=-")
    return [positions[n] for n, line in enumerate(done.stdout.splitlines())
            if len(set(line.split(",")[2:])) > 1]


class SelfDescription(unittest.TestCase):
    def test_documents_valid_and_read_by_pyvo(self):
        from pyvo.io import vosi
        documents = {path: fetch(path)[2] for path in
                     ("/capabilities", "/availability", "/tables", "/tables/cone", "/record")}
        for path, document in documents.items():
            with self.subTest(path):
                plain = document
                if path in ("/capabilities", "/record"):
                    plain, own = split_cone_capability(document)
                    self.check_cone_capability(own)
                self.assertEqual(xsd_errors(plain), [])
        self.assertNotEqual(xsd_errors(documents["/record"].replace(b"<title>", b"<name>")
                                       .replace(b"</title>", b"</name>")), [])
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")  # pyvo does not know the ConeSearch elements
            capabilities = vosi.parse_capabilities(io.BytesIO(documents["/capabilities"]))
        urls = {capability.standardid: capability.interfaces[0].accessurls[0].content
                for capability in capabilities}
        self.assertEqual(urls["ivo://ivoa.net/std/ConeSearch"], base + "/cone?")
        self.assertEqual(urls["ivo://ivoa.net/std/TAP"], base + "/tap")
        for name in ("capabilities", "availability", "tables"):
            suffix = "-1.1" if name == "tables" else ""
            self.assertEqual(urls[f"ivo://ivoa.net/std/VOSI#{name}{suffix}"], f"{base}/{name}")
        self.assertTrue(vosi.parse_availability(io.BytesIO(documents["/availability"])).available)
        # The tables say what the answers carry.
        tables = {table.name: table for table in
                  vosi.parse_tables(io.BytesIO(documents["/tables"])).iter_tables()}
        answers = {"cone": fetch("/cone?RA=10&DEC=10&SR=1&VERB=3")[2],
                   "selection": fetch("/results?" + box_query(1950, 0, 1, 1)[0] +
                                      "&format=votable")[2]}
        for name, answer in answers.items():
            fields = votable_of(answer).get_first_table().fields
            said = [(column.name, column.unit, column.ucd, str(column.datatype.content),
                     column.datatype.arraysize or "1") for column in tables[name].columns]
            given = [(field.name, None if field.unit is None else str(field.unit), field.ucd,
                      field.datatype, field.arraysize or "1") for field in fields]
            self.assertEqual(said, given, name)
        self.assertIn(b"<name>dec_dms</name>", documents["/tables/cone"])

    def check_cone_capability(self, own):
        """The elements the ConeSearch schema adds, in its order, with its types; the test
        query finds an entry."""
        names = [element.tag for element in own]
        order = ["maxSR", "maxRecords", "verbosity", "testQuery"]
        self.assertIn("verbosity", names)
        self.assertEqual(names, [name for name in order if name in names])
        self.assertEqual(float(own.find("maxSR").text), 180.0)
        self.assertEqual(int(own.find("maxRecords").text), CONE_ROWS)
        self.assertIn(own.find("verbosity").text, ("true", "false", "1", "0"))
        test = own.find("testQuery")
        self.assertEqual([element.tag for element in test], ["ra", "dec", "sr"])
        query = {element.tag.upper(): float(element.text) for element in test}
        found = votable_of(fetch("/cone?" + urllib.parse.urlencode(query))[2])
        self.assertGreater(len(found.get_first_table().array), 0)

    def test_record_as_published(self):
        record = fetch("/record")[2]
        for text in (b"<title>KELMOS: Spectroscopic redshift catalogue of distant galaxies</title>",
                     b"<identifier>ivo://test.example/galsift</identifier>",
                     b"<publisher>The test institute</publisher>", b'created="2020-02-02T00:00:00Z"',
                     b"&amp; its clients &lt;here&gt;", b"epoch 2000: ICRS; of epoch 1950: FK4 B1950",
                     b"positions in ICRS", b'<accessURL use="base">' + base.encode() + b"/tap<",
                     b'<footprint ivo-id="ivo://ivoa.net/std/moc">' +
                     base.encode() + b"/moc</footprint>"):
            self.assertTrue(text in record, text)
        spatial = re.search(rb"<spatial>(.*)</spatial>", record).group(1)
        self.assertEqual(spatial + b"\n", fetch("/moc?format=ascii")[2])
        printed = subprocess.run(  # with the server's settings, as its maxRecords says
            [os.path.join(os.environ["GALSIFT_BUILD"], "src", "server", "galsift-server"),
             "--record", site], capture_output=True, timeout=60,
            env=dict(os.environ, GALSIFT_CONE_ROWS=str(CONE_ROWS)))
        self.assertEqual((printed.returncode, printed.stdout), (0, record))
        coosys = votable_of(fetch("/cone?RA=10&DEC=10&SR=1")[2]).resources[0].coordinate_systems
        self.assertEqual(coosys[0].system, "ICRS")

    def test_availability_follows_the_catalogues(self):
        from pyvo.io import vosi
        path = os.path.join(site, "CG1950.dat")

        def availability_becomes(available):
            deadline = time.time() + 20
            while time.time() < deadline:
                now = vosi.parse_availability(io.BytesIO(fetch("/availability")[2]))
                if now.available == available:
                    return now
                time.sleep(0.2)
            self.fail(f"availability stayed {not available}")
        os.rename(path, path + ".away")
        try:
            down = availability_becomes(False)
            self.assertTrue(any("CG1950.dat" in note for note in down.notes), down.notes)
        finally:
            os.rename(path + ".away", path)
        self.assertEqual(availability_becomes(True).notes, [])


class DataAccessConventions(unittest.TestCase):
    def test_maxrec(self):
        import pyvo
        whole, wide = "/cone?RA=0&DEC=0&SR=180&VERB=1", "/cone?RA=80&DEC=-30&SR=35&VERB=1"
        inside, _ = sky_catalogue.within(listed, 80, -30, 35)
        cases = [(whole, CONE_ROWS, "OVERFLOW"), (whole + "&MAXREC=10", 10, "OVERFLOW"),
                 (whole + "&maxrec=0", 0, "OVERFLOW"), (whole + "&MAXREC=5000", CONE_ROWS, "OVERFLOW"),
                 (wide + "&MAXREC=5000", len(inside), "OK"), (wide, len(inside), "OK"),
                 (wide + f"&MAXREC={len(inside)}", len(inside), "OK")]
        for path, rows, status in cases:
            with self.subTest(path):
                body = fetch(path)[2]
                document = votable_of(body)
                self.assertEqual(len(document.get_first_table().array), rows)
                self.assertEqual(pyvo.dal.DALResults(document).status[0], status)
                self.assertLess(body.index(f'value="{status}"'.encode()), body.index(b"<TABLE"))
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")
            found = pyvo.dal.SCSService(base + "/cone").search(pos=(0, 0), radius=180, maxrec=7)
        self.assertEqual(len(found), 7)

    def test_responseformat(self):
        import pyvo
        from astropy.io import ascii
        cone = "/cone?RA=80&DEC=-30&SR=35&VERB=2"
        ids = [str(name) for name in votable_of(fetch(cone)[2]).get_first_table().array["id"]]
        for name, content_type in (("csv", "text/csv"), ("text/CSV", "text/csv"),
                                   ("votable", "text/xml"), ("text/xml", "text/xml"),
                                   ("application/x-votable%2Bxml", "application/x-votable+xml")):
            with self.subTest(name):
                status, headers, body = fetch(f"{cone}&responseformat={name}")
                self.assertTrue(headers["Content-Type"].startswith(content_type))
                if content_type == "text/csv":
                    table = ascii.read(body.decode("utf-8"), format="csv")
                    self.assertEqual(table.colnames, ["id", "ra", "dec", "z", "reference",
                                                      "distance"])
                    self.assertEqual([str(name) for name in table["id"]], ids)
                else:
                    self.assertEqual([str(name) for name in
                                      votable_of(body).get_first_table().array["id"]], ids)
        status, headers, body = fetch(cone + "&RESPONSEFORMAT=fits")
        self.assertEqual(status, 200)
        with self.assertRaisesRegex(pyvo.dal.DALQueryError, "RESPONSEFORMAT must be"):
            pyvo.dal.DALResults(votable_of(body))


class Coverage(unittest.TestCase):
    def test_moc_equals_pixfoot(self):
        from astropy.io import fits, ascii
        with fits.open(io.BytesIO(fetch("/moc")[2])) as moc:
            header, uniq = moc[1].header, [int(value) for value in moc[1].data["UNIQ"]]
        for keyword, value in (("MOCVERS", "2.0"), ("MOCDIM", "SPACE"), ("ORDERING", "NUNIQ"),
                               ("COORDSYS", "C"), ("MOCORD_S", MOC_ORDER)):
            self.assertEqual(header[keyword], value, keyword)
        cells = set()
        for value in uniq:
            level = (value.bit_length() - 3) // 2
            cells.add((level, value - 4 * 4 ** level))
        text = fetch("/moc?format=ascii")[2].decode()
        parsed, level = set(), None
        for word in text.split():
            if "/" in word:
                level, word = word.split("/")
                level = int(level)
            if word:
                first, _, last = word.partition("-")
                parsed |= {(level, n) for n in range(int(first), int(last or first) + 1)}
        self.assertEqual(parsed, cells)
        self.assertTrue(text.rstrip().endswith(f"{MOC_ORDER}/") or
                        any(level == MOC_ORDER for level, _ in cells))
        # The positions as the site computes them: the whole catalogue's download.
        table = ascii.read(fetch("/results?" + box_query(2000, -90, 90, 10)[0] +
                                 "&format=csv")[2].decode("utf-8"), format="csv")
        positions = list(zip(table["ra_J2000_deg"], table["dec_J2000_deg"]))
        self.assertEqual(len(positions), len(listed))
        theirs = expanded(pixfoot_cells(positions, MOC_ORDER), MOC_ORDER)
        ours = expanded(cells, MOC_ORDER)
        # pixfoot also counts every cell that touches a position on a cell's edge; the
        # catalogue has some (at the poles, on the equator at 0h, at 0h and 6h near the
        # north pole), and only those.
        edges = on_cell_edges(positions, MOC_ORDER)
        self.assertTrue(0 < len(edges) < 20, edges)
        self.assertLessEqual(ours, theirs)
        self.assertLessEqual(theirs - ours, expanded(pixfoot_cells(edges, MOC_ORDER), MOC_ORDER))
        off_edges = [position for position in positions if position not in edges]
        self.assertEqual(expanded(pixfoot_cells(off_edges, MOC_ORDER), MOC_ORDER) - ours, set())


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start_site():
    """scripts/serve on a free port; returns the process once the form page answers."""
    global base
    port = free_port()
    base = f"http://127.0.0.1:{port}"
    with open(os.path.join(site, "publisher.conf"), "w") as out:
        out.write(PUBLISHER.format(base=base, order=MOC_ORDER))
    environment = dict(os.environ, GALSIFT_SITE=site, GALSIFT_PAGE_ROWS=str(PAGE_ROWS),
                       GALSIFT_CONE_ROWS=str(CONE_ROWS))
    server = subprocess.Popen([os.path.join(REPOSITORY, "scripts", "serve"), str(port)],
                              env=environment, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              start_new_session=True)
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
