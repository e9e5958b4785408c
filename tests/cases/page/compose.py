#!/usr/bin/env python3
"""Composes the results page galsift should write for one case folder.

Reads the case's query.frm, style.var (if any) and the catalogue of the query's epoch,
selects the matching entries and writes expected.html in the folder (or to standard
output with --print). It never runs galsift: the page is built here from the rules for
the query form, the style file, the catalogue, the selection and the page and its table.
Only well-formed inputs are handled; an invalid query or a missing catalogue is an error,
since galsift writes no page then.

    compose.py tests/cases/table/alternating_colours [--print]
"""
import math
import os
import re
import sys

# The catalogue publisher's texts, as the page carries them.
AUTHORS = [("Anna Lindqvist", "a.lindqvist@galsift.example"),
           ("Marek Nowicki", "m.nowicki@galsift.example"),
           ("Chiara Rinaldi", "c.rinaldi@galsift.example")]
INSTITUTION = "Galsift Survey, Department of Extragalactic Astronomy"
OWNER, PLACE, YEAR = "The galsift survey team", "Lund", "2026"
SPONSOR, SPONSOR_SITE = "the galsift survey fund", "https://galsift.example/fund/"

SPACE = " \t\n\v\f\r"
NUMBER = re.compile(r"[+-]?(infinity|inf|nan(\([0-9a-z_]*\))?|(\d+\.?\d*|\.\d+)(e[+-]?\d+)?)",
                    re.IGNORECASE)


class Input:
    """A file read front to back, as the formatted-input conversions read it."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.text = f.read().decode("latin-1")
        self.at = 0

    def char(self):  # "%c": the next character, None at end of file
        if self.at >= len(self.text):
            return None
        self.at += 1
        return self.text[self.at - 1]

    def skip_space(self):  # a white-space directive
        while self.at < len(self.text) and self.text[self.at] in SPACE:
            self.at += 1

    def number(self):  # "%lg": None when nothing converts
        self.skip_space()
        found = NUMBER.match(self.text, self.at)
        if not found:
            return None
        self.at = found.end()
        return float(found.group(0).split("(")[0])

    def integer(self):  # "%d": None when nothing converts or it does not fit 32 bits
        self.skip_space()
        found = re.compile(r"[+-]?\d+").match(self.text, self.at)
        if not found:
            return None
        self.at = found.end()
        value = int(found.group(0))
        return value if -2**31 <= value < 2**31 else None

    def shift(self, stop):  # descriptor_shift: skip through `stop`, at most 1001 characters
        for _ in range(1001):
            c = self.char()
            if c is None or c == stop:
                return c == stop
        return False

    def text_field(self, stop):  # a catalogue text: up to `stop`, the first 99 kept
        start = self.at
        end = self.text.find(stop, start)
        if end < 0:
            end = self.at = len(self.text)
        else:
            self.at = end + 1
        return self.text[start:end][:99]


def keep(old, new):
    return old if new is None else new


def value(angle):  # signed seconds: sign * (degrees*3600 + minutes*60 + seconds)
    degrees, minutes, seconds, sign = angle
    return sign * ((degrees * 3600 + minutes * 60) + seconds)


def read_query(path):
    form = Input(path)
    form.shift("=")
    epoch = keep(2000, form.integer())
    form.skip_space()
    bounds = []
    for entry in range(4):
        form.shift("=")
        sign = "+"
        if entry >= 2:
            sign = keep("+", form.char())
        fields = [0.0, 0.0, 0.0]
        for n in range(3):
            fields[n] = keep(0.0, form.number())
            if n < 2:
                form.char()
        form.skip_space()
        if entry >= 2 and sign not in "+-":
            sys.exit(f"{path}: sign of a declination is lost, galsift writes no page")
        bounds.append((abs(fields[0]), fields[1], fields[2], -1 if sign == "-" else 1))
    redshifts = []
    for _ in range(2):
        form.shift("=")
        redshifts.append(keep(0.0, form.number()))
        form.skip_space()
    check_query(path, bounds, redshifts)
    return epoch, bounds, redshifts


def check_query(path, bounds, redshifts):
    def fine(angle, top):
        d, m, s, _ = angle
        if abs(d) == top and m == 0 and s == 0:
            return True
        return 0 <= d <= top - 1 and 0 <= m <= 59 and 0 <= s < 60

    ascensions, declinations = bounds[:2], bounds[2:]
    if not all(fine(a, 24) for a in ascensions) or not all(fine(d, 90) for d in declinations):
        sys.exit(f"{path}: a bound is out of range, galsift writes no page")
    if value(bounds[0]) > value(bounds[1]) or value(bounds[2]) > value(bounds[3]):
        sys.exit(f"{path}: a minimal bound exceeds its maximal one, galsift writes no page")
    if not redshifts[0] <= redshifts[1]:
        sys.exit(f"{path}: the redshift bounds are wrong, galsift writes no page")


def read_style(path):
    style = {"border": 0, "width": 0, "height": 0, "colours": "\0", "header": "\0",
             "cell": "\0"}
    if not os.path.exists(path):
        return style
    f = Input(path)
    for name in ("border", "width", "height"):
        f.shift("=")
        style[name] = keep(style[name], f.integer())
        f.skip_space()
    for name in ("colours", "header", "cell"):
        f.shift("=")
        style[name] = keep(style[name], f.char())
        f.skip_space()
    return style


def read_catalogue(path):
    if not os.path.exists(path):
        sys.exit(f"{path}: no catalogue, galsift writes no page")
    f = Input(path)
    records = []
    while True:
        hours = f.number()
        if hours is None:
            return records
        fields = [hours, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0]
        f.shift("$")
        for n in range(1, 7):
            fields[n] = keep(0.0, f.number())
            f.shift("$")
        identification = f.text_field("$")
        reference = f.text_field("$")
        f.skip_space()
        degrees = fields[3]
        negative = degrees < 0 or (degrees == 0 and math.copysign(1, degrees) < 0)
        degrees = 0.0 if abs(degrees) <= 1e-6 else abs(degrees)
        records.append({"ascension": (fields[0], fields[1], fields[2], 1),
                        "declination": (degrees, fields[4], fields[5], -1 if negative else 1),
                        "redshift": fields[6], "identification": identification,
                        "reference": reference})


def whole(x):  # an angle field as "%-2.2i" shows it
    if math.isnan(x):
        return 0
    if x >= 2**31 - 1:
        return 2**31 - 1
    if x <= -2**31:
        return -2**31
    return math.trunc(x)


def summary_angle(angle, with_sign):
    d, m, s, sign = angle
    minus = "-" if with_sign and sign < 0 else ""
    return minus + "%-2.2i:%-2.2i:%-2.2i" % (whole(d), whole(m), whole(s))


def row_angle(angle, with_sign):
    d, m, s, sign = angle
    minus = "-" if with_sign and sign < 0 else ""
    return minus + "%-2.2i:%-2.2i:" % (whole(d), whole(m)) + "%-8.6g" % s


def align(c):
    return {"l": "left", "c": "center", "r": "right"}.get(c, "")


def colour(n):
    return {0: "white", 1: "#c0c0c0"}.get(n, "#00aaaa")


def unsigned(n):
    return "%-2.2d" % (n & 0xFFFFFFFF)


def table(style, epoch, selected):
    out = ["<table"]
    if style["border"] >= 0:
        out.append(' border="%s"' % unsigned(style["border"]))
    out.append(' width="%s%% "' % unsigned(style["width"]))
    out.append(' height="%s%% "' % unsigned(style["height"]))
    out.append(' align="%s">\n' % align("c"))
    out.append('<tr align="%s" bgcolor="%s">\n' % (align(style["header"]), colour(2)))
    for content in ("&#945;<sub>%-5.1i</sub>" % epoch, "&#948;<sub>%-5.1i</sub>" % epoch,
                    "z<sub>spectroscopic</sub>", "Identification",
                    '<a href="references.htm">Reference</a>'):
        out.append("  <th>\n" + content + "\n  </th>\n")
    out.append("</tr>\n")
    cell = align(style["cell"])
    for row, r in enumerate(selected):
        out.append("<tr")
        if style["colours"] == "y":
            out.append(' bgcolor="%s"' % colour(row % 2))
        out.append(' align="%s">\n' % cell)
        for content in (row_angle(r["ascension"], False), row_angle(r["declination"], True),
                        "%-8.6g" % r["redshift"], r["identification"], r["reference"]):
            out.append('  <td align="%s">\n' % cell + content + "\n  </td>\n")
        out.append("</tr>\n")
    out.append("</table>\n")
    return out


def page(epoch, bounds, redshifts, style, records):
    def inside(r):
        return (value(bounds[2]) <= value(r["declination"]) <= value(bounds[3])
                and value(bounds[0]) <= value(r["ascension"]) <= value(bounds[1])
                and redshifts[0] <= r["redshift"] <= redshifts[1])

    selected = [r for r in records if inside(r)]
    out = ["<html>\n", "<head>\n", "<title>Query Results</title>\n", "</head>\n", "<body>\n",
           '<font color="#008080">',
           "<h2>KELMOS: Spectroscopic redshift catalogue of distant galaxies<br></h2>\n",
           "</font>"]
    links = ['<a href="mailto:%s">%s</a>' % (mail, name) for name, mail in AUTHORS]
    out.append("<h3>" + links[0] + ",\n" + links[1] + ",\n" + links[2] + "</h3>\n")
    out.append('<font color="#008080"><h3>' + INSTITUTION + "<br></h3>\n</font>\n")
    out.append('<br><ul><li><a href="introduction.htm"><b>Introduction</b></a>\n'
               '<li><a href="references.htm"><b>References</b></a>\n</ul><br>\n')
    out.append('<font color="#008080"><h4>Query parameters:<br>Coordinates at the epoch '
               + "%-5.1i" % epoch + " <br>\n")
    out.append("Ascension interval: " + summary_angle(bounds[0], False) + "\n<= &#945; <="
               + summary_angle(bounds[1], False) + "&nbsp;&nbsp;&nbsp;&nbsp;\n")
    out.append("Declination interval: " + summary_angle(bounds[2], True) + "\n<= &#948; <="
               + summary_angle(bounds[3], True) + "&nbsp;&nbsp;&nbsp;&nbsp;\n")
    out.append("Redshift interval: " + "%-6.4g" % redshifts[0] + "<= z <="
               + "%-6.4g" % redshifts[1] + "</h4></font>\n")
    if selected:
        out.append('<font color="#008080"><h4><br>There are ' + "%-5.1i" % len(selected)
                   + " records corresponding to these parameters.\n"
                   + "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\n"
                   + "Total number of records is " + "%-5.1i" % len(records)
                   + ".</h4></font>\n<hr>")
        out += table(style, epoch, selected)
    else:
        out.append("<h3><br>There is no record corresponding to these parameters</h3>\n")
    out.append('<hr><table width="100%">\n<tr>\n<td align="left">\n<font color="#008080">\n'
               "<h3>&#169; " + OWNER + " <br>\n " + PLACE + ", " + YEAR + "</h3>"
               '</font></td>\n <td align="right"><font color="#008080">\n'
               '<h3><a href="' + SPONSOR_SITE + '">Supported by ' + SPONSOR + "</a></h3>\n"
               "</font>\n</td>\n</tr>\n</table></body>\n</html>\n")
    return "".join(out)


def main():
    case = sys.argv[1]
    epoch, bounds, redshifts = read_query(os.path.join(case, "query.frm"))
    if epoch not in (2000, 1950):
        sys.exit(f"{case}: epoch {epoch} has no catalogue, galsift writes no page")
    style = read_style(os.path.join(case, "style.var"))
    records = read_catalogue(os.path.join(case, "CG%d.dat" % epoch))
    text = page(epoch, bounds, redshifts, style, records).encode("latin-1")
    if "--print" in sys.argv[2:]:
        sys.stdout.buffer.write(text)
    else:
        with open(os.path.join(case, "expected.html"), "wb") as f:
            f.write(text)


if __name__ == "__main__":
    main()
