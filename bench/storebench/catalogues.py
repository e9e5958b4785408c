"""Generated catalogues, kept in a scratch folder between runs, and their entries as the
peers need them: positions in degrees computed from the sexagesimal fields as the cone
search computes them, the redshift, and the two texts without their surrounding spaces.
"""
import array
import os
import subprocess

from storebench.queries import ascension_degrees, declination_degrees


def catalogue_file(scratch, size, generator):
    """The path of the generated catalogue of `size` entries, written first when missing."""
    folder = os.path.join(scratch, "catalogues")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, f"CG2000-{size}.dat")
    if not os.path.exists(path):
        print(f"generating {size} entries into {path}", flush=True)
        subprocess.run([generator, str(size), path + ".part"], check=True)
        os.rename(path + ".part", path)
    return path


def entry_fields(line):
    """One catalogue line as (ra, dec, z, name, reference), the angles in degrees.

    The declination's sign is that of its degrees field as written, so "-00" is south.
    """
    parts = line.split("$")
    h, m, s = float(parts[0]), float(parts[1]), float(parts[2])
    degrees_text = parts[3].strip()
    sign = -1 if degrees_text.startswith("-") else 1
    d, dm, ds = abs(float(degrees_text)), float(parts[4]), float(parts[5])
    return (ascension_degrees(h, m, s), declination_degrees(sign, d, dm, ds), float(parts[6]),
            parts[7].strip(), parts[8].strip())


def csv_text(text):
    """A text as one CSV field, always quoted."""
    return '"' + text.replace('"', '""') + '"'


class CopyStream:
    """The catalogue's entries as CSV lines (id, ra, dec, z, name, reference) for COPY, read
    through read(); while it is read, the positions and redshifts are kept in `columns`."""

    def __init__(self, path):
        self.file = open(path, encoding="latin-1", newline="\n")
        self.columns = {name: array.array("d") for name in ("ra", "dec", "z")}
        self.number = 0
        self.left = ""

    def lines(self, wanted):
        out = []
        for line in self.file:
            if not line.strip():
                continue
            ra, dec, z, name, reference = entry_fields(line)
            self.number += 1
            self.columns["ra"].append(ra)
            self.columns["dec"].append(dec)
            self.columns["z"].append(z)
            out.append(f"{self.number},{ra!r},{dec!r},{z!r},{csv_text(name)},"
                       f"{csv_text(reference)}\n")
            if len(out) == wanted:
                break
        return "".join(out)

    def read(self, size=65536):
        text = self.left or self.lines(max(1, size // 80))
        self.left = text[size:]
        return text[:size]

    def close(self):
        self.file.close()


def columns_folder(scratch, size):
    return os.path.join(scratch, "columns", str(size))


def save_columns(scratch, size, columns):
    """Keeps ra, dec and z (float64, native order) for later runs."""
    folder = columns_folder(scratch, size)
    os.makedirs(folder, exist_ok=True)
    for name, values in columns.items():
        with open(os.path.join(folder, name + ".f64.part"), "wb") as out:
            values.tofile(out)
        os.rename(os.path.join(folder, name + ".f64.part"), os.path.join(folder, name + ".f64"))


def saved_columns(scratch, size):
    """The paths of the kept columns {"ra": ..., "dec": ..., "z": ...}, or None when missing."""
    folder = columns_folder(scratch, size)
    paths = {name: os.path.join(folder, name + ".f64") for name in ("ra", "dec", "z")}
    return paths if all(os.path.exists(p) for p in paths.values()) else None


def ensure_columns(scratch, size, path):
    """The kept columns of the catalogue, read from `path` first when missing."""
    if not saved_columns(scratch, size):
        stream = CopyStream(path)
        while stream.lines(100000):
            pass
        stream.close()
        save_columns(scratch, size, stream.columns)
    return saved_columns(scratch, size)
