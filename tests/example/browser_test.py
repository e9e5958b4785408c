#!/usr/bin/env python3
"""The example site in a real browser: galsift answers a query in a copy of example/,
headless Chromium loads the results page, and the DOM that Chromium built (its
--dump-dom output, read with an HTML parser) must show what a reader expects:

  - one results table, with one header row and exactly the expected data rows, five
    cells each, in catalogue order;
  - header cells reading alpha, delta and z with their subscripts (the epoch, the epoch,
    "spectroscopic"), then Identification and Reference;
  - the header row in #00aaaa and the data rows alternating white and #c0c0c0;
  - the Introduction and References links leading to the pages beside results.html,
    which Chromium then loads too; every reference in the table is listed there.

The expected rows are worked out from the catalogue by the selection rules
(example_site.selected), for the example query and two others.

    browser_test.py GALSIFT --chromium CHROMIUM
"""
import argparse
import html.parser
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import urllib.parse
import urllib.request

import example_site

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
]
VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta",
        "source", "track", "wbr"}
ROW_COLOURS = ["white", "#c0c0c0"]
HEADER_COLOUR = "#00aaaa"

# name, query form (None: example/query.frm as committed), whether the rows must include
# a declination between 0 and -1 degree (shown as -00:mm:ss)
QUERIES = [
    ("example query", None, False),
    ("redshift above 5 over the whole sky at B1950",
     example_site.query_form(1950, ("00:00:00", "24:00:00"), ("-90:00:00", "+90:00:00"),
                             (5, 8)), False),
    ("equatorial strip with declinations -00",
     example_site.query_form(2000, ("00:00:00", "24:00:00"), ("-01:00:00", "+00:30:00"),
                             (0, 1)), True),
]

program = None
chromium = None


class Node:
    """An element of the parsed DOM: tag, attributes and children (nodes and texts)."""

    def __init__(self, tag, attrs):
        self.tag, self.attrs, self.children = tag, dict(attrs), []

    def all(self, tag):
        """Every element of this tag below this one, in document order."""
        found = []
        for child in self.children:
            if isinstance(child, Node):
                if child.tag == tag:
                    found.append(child)
                found.extend(child.all(tag))
        return found

    def text(self):
        """All the text inside, as a reader sees it, before white space is collapsed."""
        return "".join(c if isinstance(c, str) else c.text() for c in self.children)

    def own_text(self):
        """The text directly inside, without that of child elements."""
        return "".join(c for c in self.children if isinstance(c, str))

    def elements(self, tag):
        """The child elements of this tag."""
        return [c for c in self.children if isinstance(c, Node) and c.tag == tag]


class TreeBuilder(html.parser.HTMLParser):
    """Builds the Node tree of a serialized DOM (every element is closed in it)."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.root = Node("#document", [])
        self.stack = [self.root]

    def handle_starttag(self, tag, attrs):
        node = Node(tag, attrs)
        self.stack[-1].children.append(node)
        if tag not in VOID:
            self.stack.append(node)

    def handle_startendtag(self, tag, attrs):
        self.stack[-1].children.append(Node(tag, attrs))

    def handle_endtag(self, tag):
        for depth in range(len(self.stack) - 1, 0, -1):
            if self.stack[depth].tag == tag:
                del self.stack[depth:]
                return

    def handle_data(self, data):
        self.stack[-1].children.append(data)


def rendered_dom(path):
    """The DOM Chromium builds for the file at `path`, parsed into a Node tree."""
    profile = tempfile.mkdtemp(prefix="galsift-chromium-")
    try:
        url = urllib.parse.urljoin("file:", urllib.request.pathname2url(os.path.abspath(path)))
        done = subprocess.run(
            [chromium, *CHROMIUM_FLAGS, f"--user-data-dir={profile}", "--dump-dom", url],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    dom = done.stdout.decode("utf-8")
    if done.returncode != 0 or "<html" not in dom:
        raise RuntimeError(f"chromium failed on {url} (status {done.returncode}):\n"
                           + done.stderr.decode("utf-8", "replace")[-3000:])
    builder = TreeBuilder()
    builder.feed(dom)
    builder.close()
    return builder.root, url


def squeeze(text):
    """Text with its white space collapsed, as a browser shows it."""
    return " ".join(text.split())


class ResultsPage(unittest.TestCase):
    def run_query(self, form):
        """Runs galsift in a fresh copy of example/, with `form` as its query form when
        given. Returns the directory and the query as read."""
        work = tempfile.mkdtemp(prefix="galsift-browser-")
        self.addCleanup(shutil.rmtree, work, True)
        for name in os.listdir(example_site.EXAMPLE):
            shutil.copy(os.path.join(example_site.EXAMPLE, name), work)
        if form is not None:
            with open(os.path.join(work, "query.frm"), "w", encoding="ascii") as f:
                f.write(form)
        done = subprocess.run([program], cwd=work, stdout=subprocess.PIPE, timeout=60)
        self.assertEqual(done.returncode, 0)
        self.assertIn(b"File result.html has been created successfully", done.stdout)
        self.assertTrue(os.path.isfile(os.path.join(work, "results.html")))
        return work, example_site.read_query(os.path.join(work, "query.frm"))

    def check_table(self, document, query, expected):
        tables = [t for t in document.all("table") if t.all("th")]
        self.assertEqual(len(tables), 1, "one table with header cells")
        rows = tables[0].all("tr")
        header = [r for r in rows if r.elements("th")]
        data = [r for r in rows if not r.elements("th")]
        self.assertEqual(len(header), 1, "one header row")
        self.assertIs(rows[0], header[0], "the header row comes first")
        self.assertEqual(len(data), len(expected), "data rows")

        cells = header[0].elements("th")
        self.assertEqual(len(cells), 5)
        epoch = str(query["epoch"])
        for cell, letter, subscript in zip(cells, ["\u03b1", "\u03b4", "z"],
                                           [epoch, epoch, "spectroscopic"]):
            self.assertEqual(squeeze(cell.own_text()), letter)
            self.assertEqual([squeeze(s.text()) for s in cell.elements("sub")], [subscript])
        self.assertEqual(squeeze(cells[3].text()), "Identification")
        self.assertEqual(squeeze(cells[4].text()), "Reference")
        self.assertEqual(header[0].attrs.get("bgcolor"), HEADER_COLOUR)

        for number, (row, entry) in enumerate(zip(data, expected)):
            with self.subTest(row=number, entry=entry["identification"]):
                self.assertEqual(row.attrs.get("bgcolor"), ROW_COLOURS[number % 2])
                cells = row.elements("td")
                self.assertEqual(len(cells), 5)
                self.assertEqual(row.elements("th"), [])
                shown = [squeeze(c.text()) for c in cells]
                self.assertEqual(shown[3], squeeze(entry["identification"]))
                self.assertEqual(shown[4], squeeze(entry["reference"]))
                self.assertEqual(shown[1].startswith("-"), entry["dec_text"].startswith("-"),
                                 f"declination {shown[1]} from {entry['dec_text']}")
                self.assertEqual(float(shown[2]), entry["redshift"])
        return [squeeze(c.elements("td")[4].text()) for c in data]

    def check_links(self, document, url, references):
        page_dir = os.path.dirname(urllib.request.url2pathname(urllib.parse.urlparse(url).path))
        links = {squeeze(a.text()): a.attrs.get("href", "") for a in document.all("a")}
        for label, title in (("Introduction", "Introduction"), ("References", "References")):
            with self.subTest(link=label):
                self.assertIn(label, links)
                target = urllib.parse.urljoin(url, links[label])
                parts = urllib.parse.urlparse(target)
                self.assertEqual(parts.scheme, "file")
                path = urllib.request.url2pathname(parts.path)
                self.assertEqual(os.path.dirname(path), page_dir, "beside the page")
                self.assertTrue(os.path.isfile(path), path)
                linked, _ = rendered_dom(path)
                self.assertEqual([squeeze(t.text()) for t in linked.all("title")], [title])
                if label == "References":
                    listed = {squeeze(row.elements("td")[0].text())
                              for row in linked.all("tr") if row.elements("td")}
                    self.assertLessEqual(set(references), listed,
                                         "every reference in the table is listed")

    def test_queries(self):
        for name, form, minus_zero in QUERIES:
            with self.subTest(query=name):
                work, query = self.run_query(form)
                entries = example_site.read_catalogue(
                    os.path.join(work, example_site.catalogue_name(query["epoch"])))
                expected = example_site.selected(entries, query)
                self.assertGreater(len(expected), 2, "a query that shows the alternation")
                document, url = rendered_dom(os.path.join(work, "results.html"))
                references = self.check_table(document, query, expected)
                if minus_zero:
                    shown = [squeeze(row.all("td")[1].text()) for row in document.all("tr")
                             if len(row.all("td")) == 5]
                    self.assertTrue(any(d.startswith("-00:") for d in shown), shown)
                self.check_links(document, url, references)


def main():
    global program, chromium
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--chromium", default=shutil.which("chromium") or "chromium")
    args = parser.parse_args()
    program, chromium = os.path.abspath(args.program), args.chromium
    unittest.main(argv=sys.argv[:1], verbosity=2)


if __name__ == "__main__":
    main()
