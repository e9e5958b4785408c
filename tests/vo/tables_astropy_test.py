#!/usr/bin/python3
"""The cone search's answers and the downloads, written by vo_probe with the site's own
code, read back with astropy's VOTable and CSV readers:

  - each cone of sky_catalogue.CONES holds exactly the entries astropy's
    SkyCoord.separation puts within the radius, in catalogue order, with the distances
    astropy computes and the positions read from the fields;
  - SR=0 gives the fields and no row, a bad request an INFO named Error, VERB 1 and 3
    fewer and more columns, and a row limit an OVERFLOW status;
  - the VOTable and CSV downloads of a box query hold the rows of galsift's own page for
    that query, in its order, with texts escaped, quoted and cleaned, and name the
    coordinate system of the epoch (FK5 J2000, FK4 B1950).

    tables_astropy_test.py VO_PROBE GALSIFT
"""
import io
import os
import re
import subprocess
import sys
import tempfile
import unittest
import warnings

import sky_catalogue

probe = galsift = None
folder = None
listed = sky_catalogue.entries()


def run_probe(*arguments):
    done = subprocess.run([probe, *arguments], cwd=folder, capture_output=True, check=True)
    return done.stdout


def votable(*arguments):
    from astropy.io.votable import parse
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # the UCD1 words of the cone search are expected
        return parse(io.BytesIO(run_probe(*arguments)))


def all_infos(document):
    found = [(info.name, info.value) for info in document.infos]
    for resource in document.resources:
        found += [(info.name, info.value) for info in resource.infos]
    return found


class Cone(unittest.TestCase):
    def test_cones_hold_what_astropy_finds(self):
        for name, ra, dec, radius in sky_catalogue.CONES:
            with self.subTest(name):
                expected, _ = sky_catalogue.within(listed, ra, dec, radius)
                table = votable("cone", f"RA={ra!r}&DEC={dec!r}&SR={radius!r}").get_first_table()
                rows = table.array
                names = [str(n) for n in rows["id"]]
                self.assertEqual(names, [listed[n].text(listed[n].name) for n in expected])
                for row, n in zip(rows, expected):
                    self.assertEqual((row["ra"], row["dec"]), listed[n].position())
                    self.assertAlmostEqual(row["distance"], expected[n], delta=1e-12)
                self.assertTrue(expected, "every cone holds some entry")

    def test_rims_are_the_placed_entries(self):
        # Only the entries placed on a radius lie on one, and every one of them does.
        placed = {"radius along a meridian": {"M on north", "M on south"},
                  "radius along the equator": {"E on east", "E on west"},
                  "north pole": {f"NP rim {h}h" for h in (0, 6, 12, 18, 23)},
                  "near the south pole": {"SP 20h 54m"}}  # across the pole
        for name, ra, dec, radius in sky_catalogue.CONES:
            _, rim = sky_catalogue.within(listed, ra, dec, radius)
            rim_names = {listed[n].name.decode() for n in rim}
            self.assertEqual(rim_names, placed.get(name, set()), name)

    def test_metadata_errors_verbosity_and_overflow(self):
        empty = votable("cone", "RA=150&DEC=10&SR=0").get_first_table()
        self.assertEqual(len(empty.array), 0)
        ucds = [field.ucd for field in empty.fields]
        for ucd in ("ID_MAIN", "POS_EQ_RA_MAIN", "POS_EQ_DEC_MAIN", "src.redshift", "meta.bib",
                    "pos.angDistance"):
            self.assertEqual(ucds.count(ucd), 1, ucd)
        ra = empty.fields[ucds.index("POS_EQ_RA_MAIN")]
        self.assertEqual((ra.datatype, str(ra.unit)), ("double", "deg"))
        system = votable("cone", "RA=150&DEC=10&SR=0").get_coosys_by_id(ra.ref)
        self.assertEqual((system.system, system.equinox), ("eq_FK5", "J2000"))

        for query, reason in (("RA=150&DEC=10", "missing: SR"), ("RA=150&DEC=95&SR=1", "DEC"),
                              ("RA=1&DEC=1&SR=1&VERB=7", "VERB")):
            infos = dict(all_infos(votable("cone", query)))
            self.assertIn(reason, infos.get("Error", ""), query)
            self.assertEqual(infos.get("QUERY_STATUS"), "ERROR")

        self.assertEqual(len(votable("cone", "RA=0&DEC=90&SR=1&VERB=1").get_first_table().fields), 3)
        self.assertEqual(len(votable("cone", "RA=0&DEC=90&SR=1&VERB=3").get_first_table().fields), 8)

        cut = votable("cone", "RA=80&DEC=-30&SR=35", "10")
        self.assertEqual(len(cut.get_first_table().array), 10)
        self.assertIn(("QUERY_STATUS", "OVERFLOW"), all_infos(cut))
        whole = votable("cone", "RA=80&DEC=-30&SR=35")
        self.assertNotIn(("QUERY_STATUS", "OVERFLOW"), all_infos(whole))


# The box of the downloads: a band across the sky that holds the hostile names.
BOX = ("Epoch={epoch}\nMinimal ascension= 00:00:00\nMaximal ascension= 24:00:00\n"
       "Minimal declination=-45:00:00\nMaximal declination=+45:00:00\n"
       "Minimal redshift= 0\nMaximal redshift= 1.5\n")
PAGE_ROW = re.compile(r'<tr[^>]*>\n((?:  <td align="[^"]*">\n.*?\n  </td>\n){5})</tr>\n', re.S)
PAGE_CELL = re.compile(r'  <td align="[^"]*">\n(.*?)\n  </td>\n', re.S)


def page_rows():
    """The data rows of galsift's page for the box, each its five cell texts, trimmed."""
    subprocess.run([galsift], cwd=folder, capture_output=True, check=True)
    with open(os.path.join(folder, "results.html"), "rb") as page:
        text = page.read().decode("latin-1")
    return [[cell.strip() for cell in PAGE_CELL.findall(row)] for row in PAGE_ROW.findall(text)]


class Downloads(unittest.TestCase):
    def check_epoch(self, epoch, system, equinox):
        with open(os.path.join(folder, "query.frm"), "w") as form:
            form.write(BOX.format(epoch=epoch))
        rows = page_rows()
        self.assertGreater(len(rows), 300)
        by_name = {entry.name.decode("latin-1").strip(): entry for entry in listed}
        entries = [by_name[row[3]] for row in rows]

        document = votable("votable")
        table = document.get_first_table()
        ra_field = table.get_field_by_id("ra")
        coosys = document.resources[0].coordinate_systems[0]
        self.assertEqual((coosys.system, coosys.equinox, ra_field.ref), (system, equinox, coosys.ID))
        self.assertEqual(str(ra_field.unit), "deg")

        from astropy.io import ascii
        csv = ascii.read(run_probe("csv").decode("utf-8"), format="csv")
        self.assertEqual(csv.colnames, [f"ra_{equinox}_hms", f"dec_{equinox}_dms",
                                        f"ra_{equinox}_deg", f"dec_{equinox}_deg", "z",
                                        "identification", "reference"])

        for name, got in (("VOTable", table.array), ("CSV", csv)):
            with self.subTest(name):
                self.assertEqual(len(got), len(rows))
                for row, entry, page in zip(got, entries, rows):
                    row = list(row)
                    self.assertEqual([str(row[0]), str(row[1])], page[:2])
                    self.assertEqual((row[2], row[3]), entry.position())
                    self.assertEqual(row[4], entry.z)
                    self.assertEqual(str(row[5]), entry.text(entry.name))
                    self.assertEqual(str(row[6]), entry.text(entry.reference))
        names = [str(n) for n in table.array["identification"]]
        self.assertIn('A&B <x> "q" \'a\'', names)
        self.assertIn("Caf\ufffd \ufffd \u00e9", names)

    def test_j2000(self):
        self.check_epoch(2000, "eq_FK5", "J2000")

    def test_b1950(self):
        self.check_epoch(1950, "eq_FK4", "B1950")


if __name__ == "__main__":
    sky_catalogue.require("astropy", "numpy")
    probe, galsift = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    with tempfile.TemporaryDirectory() as where:
        folder = where
        for name in ("CG2000.dat", "CG1950.dat"):
            with open(os.path.join(folder, name), "wb") as out:
                out.write(sky_catalogue.catalogue(listed))
        unittest.main(argv=sys.argv[:1], verbosity=2)
