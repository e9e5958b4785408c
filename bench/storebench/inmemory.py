"""The in-memory peer: the catalogue's positions and redshifts as numpy arrays, each query a
mask over them (count only). Left out when numpy or erfa cannot be imported."""
import time

from storebench.queries import degree_bounds

try:
    import erfa
    import numpy
except ImportError:  # the peer is optional
    numpy = None


def available():
    return numpy is not None


def in_memory_system(paths):
    """A system of the measurement over the columns kept at `paths` ({"ra", "dec", "z"})."""
    ra, dec, z = (numpy.fromfile(paths[name], dtype=numpy.float64) for name in ("ra", "dec", "z"))

    def ask(query):
        start = time.perf_counter()
        if query.box:
            ra1, ra2, dec1, dec2, z1, z2 = degree_bounds(query.box)
            mask = ((dec >= dec1) & (dec <= dec2) & (ra >= ra1) & (ra <= ra2)
                    & (z >= z1) & (z <= z2))
            count = int(numpy.count_nonzero(mask))
        elif query.cone:
            c = query.cone
            near = numpy.flatnonzero(numpy.abs(dec - c.dec) <= c.radius + 1e-9)
            distance = erfa.seps(numpy.radians(c.ra), numpy.radians(c.dec),
                                 numpy.radians(ra[near]), numpy.radians(dec[near]))
            count = int(numpy.count_nonzero(distance <= numpy.radians(c.radius) + 1e-14))
        else:
            return None, None
        return time.perf_counter() - start, count

    return {"label": "numpy in memory (mask only)", "ask": ask, "close": lambda: None}
