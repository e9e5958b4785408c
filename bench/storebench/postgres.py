"""PostgreSQL 15 with Q3C as the peer: a private cluster in the scratch folder (no service),
one table per catalogue size, kept between runs, and the queries in the forms worth timing.

Each table holds id (catalogue order), ra and dec in degrees, z, name and reference, with
a Q3C index on the position (the table clustered on it) and a B-tree on z. A box is asked
as `ra BETWEEN .. AND dec BETWEEN .. AND z BETWEEN ..`, alone or behind a Q3C condition
that covers it (a polygon or a circle), so that the count is always the exact one; a cone
is asked with q3c_radial_query.
"""
import math
import os
import shutil
import socket
import subprocess
import time

import psycopg2

from storebench.catalogues import CopyStream, ensure_columns, save_columns
from storebench.queries import degree_bounds

PG_BIN = "/usr/lib/postgresql/15/bin"

# Settings of the private cluster: shared buffers large enough for the 10^7 table and its
# indexes, durability off (a scratch copy that is rebuilt when lost), no JIT (it costs
# short queries tens of milliseconds of compilation).
SETTINGS = """
listen_addresses = '127.0.0.1'
shared_buffers = 1GB
maintenance_work_mem = 1GB
fsync = off
synchronous_commit = off
full_page_writes = off
jit = off
"""


def as_postgres(*command, **options):
    return subprocess.run(["runuser", "-u", "postgres", "--", *command], check=True, **options)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Cluster:
    """A private cluster under `folder`, made the first time; start() and stop()."""

    def __init__(self, folder):
        self.folder = folder
        self.data = os.path.join(folder, "data")
        self.sockets = os.path.join(folder, "sockets")
        self.port = None

    def start(self):
        if not os.path.exists(os.path.join(self.data, "PG_VERSION")):
            shutil.rmtree(self.folder, ignore_errors=True)
            os.makedirs(self.folder)
            shutil.chown(self.folder, "postgres", "postgres")
            as_postgres(f"{PG_BIN}/initdb", "-D", self.data, "-A", "trust", "-U", "postgres",
                        stdout=subprocess.DEVNULL)
            with open(os.path.join(self.data, "postgresql.conf"), "a") as conf:
                conf.write(SETTINGS)
        os.makedirs(self.sockets, exist_ok=True)
        shutil.chown(self.sockets, "postgres", "postgres")
        self.port = free_port()
        as_postgres(f"{PG_BIN}/pg_ctl", "-D", self.data, "-l", os.path.join(self.folder, "log"),
                    "-o", f"-p {self.port} -k {self.sockets}", "-w", "start",
                    stdout=subprocess.DEVNULL)

    def stop(self):
        if self.port:
            as_postgres(f"{PG_BIN}/pg_ctl", "-D", self.data, "-m", "fast", "-w", "stop",
                        stdout=subprocess.DEVNULL)
            self.port = None

    def connect(self):
        connection = psycopg2.connect(host="127.0.0.1", port=self.port, user="postgres",
                                      dbname="postgres")
        connection.autocommit = True
        return connection


def table_name(size):
    return f"entries_{size}"


def loaded_table(connection, size, path):
    """Whether the table of `size` entries holds the catalogue file `path` as it is now."""
    info = os.stat(path)
    with connection.cursor() as cursor:
        cursor.execute("CREATE TABLE IF NOT EXISTS loaded (size bigint PRIMARY KEY, "
                       "file_size bigint, file_mtime double precision, steps text)")
        cursor.execute("SELECT file_size, file_mtime, steps FROM loaded WHERE size = %s", (size,))
        row = cursor.fetchone()
    if row and row[0] == info.st_size and row[1] == info.st_mtime:
        return row[2]
    return None


def load(connection, scratch, size, path):
    """Loads the catalogue `path` into its table unless it is there already; keeps the
    columns for the in-memory peer on the way. Returns the load's steps and their times
    (as measured when the table was loaded)."""
    steps = loaded_table(connection, size, path)
    if steps is not None:
        ensure_columns(scratch, size, path)
        return steps
    table = table_name(size)
    timed = []

    def step(name, sql, stream=None):
        start = time.perf_counter()
        with connection.cursor() as cursor:
            if stream:
                cursor.copy_expert(sql, stream)
            else:
                cursor.execute(sql)
        timed.append(f"{name} {time.perf_counter() - start:.1f} s")
        print(f"  PostgreSQL {table}: {timed[-1]}", flush=True)

    step("drop", f"DROP TABLE IF EXISTS {table}")
    step("create", f"CREATE TABLE {table} (id bigint, ra double precision, dec double precision, "
                   f"z double precision, name text, reference text)")
    stream = CopyStream(path)
    step("COPY", f"COPY {table} FROM STDIN WITH (FORMAT csv)", stream)
    stream.close()
    save_columns(scratch, size, stream.columns)
    step("Q3C index", f"CREATE INDEX {table}_q3c ON {table} (q3c_ang2ipix(ra, dec))")
    step("CLUSTER", f"CLUSTER {table} USING {table}_q3c")
    step("z index", f"CREATE INDEX {table}_z ON {table} (z)")
    step("ANALYZE", f"VACUUM ANALYZE {table}")
    steps = ", ".join(timed[2:])
    info = os.stat(path)
    with connection.cursor() as cursor:
        cursor.execute("INSERT INTO loaded VALUES (%s, %s, %s, %s) ON CONFLICT (size) DO UPDATE "
                       "SET file_size = EXCLUDED.file_size, file_mtime = EXCLUDED.file_mtime, "
                       "steps = EXCLUDED.steps", (size, info.st_size, info.st_mtime, steps))
    return steps


def sizes_on_disk(connection, size):
    """(table bytes, index bytes) of the table of `size` entries."""
    with connection.cursor() as cursor:
        cursor.execute("SELECT pg_table_size(%s), pg_indexes_size(%s)",
                       (table_name(size), table_name(size)))
        return cursor.fetchone()


# ---- The queries ----

COLUMNS = "id, ra, dec, z, name, reference"


def angular_distance(ra1, dec1, ra2, dec2):
    """Degrees between two positions (degrees), the Vincenty form."""
    r = math.radians
    dlon = r(ra2 - ra1)
    across = math.cos(r(dec2)) * math.sin(dlon)
    along = (math.cos(r(dec1)) * math.sin(r(dec2))
             - math.sin(r(dec1)) * math.cos(r(dec2)) * math.cos(dlon))
    dot = math.sin(r(dec1)) * math.sin(r(dec2)) + math.cos(r(dec1)) * math.cos(r(dec2)) * math.cos(dlon)
    return math.degrees(math.atan2(math.hypot(across, along), dot))


def covering_polygon(ra1, ra2, dec1, dec2, segments=8):
    """A polygon (great-circle edges, as Q3C draws them) holding the whole box: the edges of
    constant declination are cut into `segments` pieces and moved outwards by twice the
    most a piece's great circle strays from its parallel. Only for boxes narrower than
    180 degrees in right ascension and away from the poles."""
    assert 0 < ra2 - ra1 < 180 and -89 < dec1 <= dec2 < 89
    half = math.radians((ra2 - ra1) / segments / 2)
    stray = max(math.degrees(math.atan(math.tan(math.radians(abs(dec))) / math.cos(half))) - abs(dec)
                for dec in (dec1, dec2))
    pad = 2 * stray + 1e-6
    low, high = dec1 - pad, dec2 + pad
    left, right = ra1 - 1e-6, ra2 + 1e-6
    step = (right - left) / segments
    bottom = [(left + i * step, low) for i in range(segments + 1)]
    top = [(right - i * step, high) for i in range(segments + 1)]
    return [value for vertex in bottom + top for value in vertex]


def covering_circle(ra1, ra2, dec1, dec2):
    """(ra, dec, radius) of a circle holding the whole box: about its middle, through its
    farthest corner (the farthest point of such a box is a corner)."""
    centre = ((ra1 + ra2) / 2, (dec1 + dec2) / 2)
    radius = max(angular_distance(*centre, ra, dec) for ra in (ra1, ra2) for dec in (dec1, dec2))
    return centre[0], centre[1], radius * (1 + 1e-9) + 1e-7


def statements(query, size):
    """The ways of asking `query` of the table of `size` entries: {plan name: SQL}."""
    table = table_name(size)
    if query.cone:
        c = query.cone
        return {"q3c_radial_query": f"SELECT {COLUMNS} FROM {table} WHERE "
                                    f"q3c_radial_query(ra, dec, {c.ra!r}, {c.dec!r}, {c.radius!r})"}
    ra1, ra2, dec1, dec2, z1, z2 = degree_bounds(query.box)
    box = f"ra BETWEEN {ra1!r} AND {ra2!r} AND dec BETWEEN {dec1!r} AND {dec2!r}"
    indexed_z = f"z BETWEEN {z1!r} AND {z2!r}"
    plain_z = f"z + 0 BETWEEN {z1!r} AND {z2!r}"  # keeps the planner off the z index
    polygon = "q3c_poly_query(ra, dec, ARRAY[" + ", ".join(
        repr(v) for v in covering_polygon(ra1, ra2, dec1, dec2)) + "]::double precision[])"
    circle = "q3c_radial_query(ra, dec, {!r}, {!r}, {!r})".format(
        *covering_circle(ra1, ra2, dec1, dec2))
    select = f"SELECT {COLUMNS} FROM {table} WHERE "
    return {
        "BETWEEN": select + f"{box} AND {indexed_z}",
        "q3c_poly_query + BETWEEN": select + f"{polygon} AND {box} AND {indexed_z}",
        "q3c_poly_query + BETWEEN, z unindexed": select + f"{polygon} AND {box} AND {plain_z}",
        "q3c_radial_query + BETWEEN": select + f"{circle} AND {box} AND {indexed_z}",
        "q3c_radial_query + BETWEEN, z unindexed": select + f"{circle} AND {box} AND {plain_z}",
    }


def timed(connection, sql):
    """Runs `sql` and fetches every row; returns (seconds, number of rows)."""
    with connection.cursor() as cursor:
        start = time.perf_counter()
        cursor.execute(sql)
        rows = cursor.fetchall()
        return time.perf_counter() - start, len(rows)


def plan_of(connection, sql):
    """The top node of the plan the planner picks for `sql`, without its costs
    ("Index Scan using entries_1000_z on entries_1000")."""
    with connection.cursor() as cursor:
        cursor.execute("EXPLAIN " + sql)
        return cursor.fetchone()[0].split("  (cost=")[0].strip()
