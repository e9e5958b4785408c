"""A site served by scripts/serve (lighttpd and the query server of a given build) on a free
loopback port, asked over kept HTTP connections, and what can be read off its answers and
its processes.
"""
import glob
import http.client
import os
import re
import shutil
import signal
import socket
import subprocess
import time

from storebench import queries

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# The server's limits while measured: the defaults (10 s) could answer 503 or cut a query
# off on a loaded machine, which would measure the machine, not the server. The page row
# limit stays at its default (10,000 rows).
LIMITS = {"GALSIFT_WAIT_LIMIT": "60", "GALSIFT_TIME_LIMIT": "60"}


def make_site(folder, catalogue):
    """A site folder: the example's files (pages, style, settings, the B1950 catalogue),
    with `catalogue` linked in as CG2000.dat."""
    os.makedirs(folder, exist_ok=True)
    example = os.path.join(ROOT, "example")
    for name in os.listdir(example):
        if name != "CG2000.dat" and os.path.isfile(os.path.join(example, name)):
            shutil.copy(os.path.join(example, name), folder)
    link = os.path.join(folder, "CG2000.dat")
    if os.path.lexists(link):
        os.remove(link)
    os.symlink(catalogue, link)
    return folder


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Served:
    """scripts/serve of `build` on `site`, on a free loopback port, until stop()."""

    def __init__(self, label, build, site, scratch):
        self.label, self.build, self.site = label, build, site
        self.port = free_port()
        self.runtime = os.path.join(scratch, "run", f"{label}-{self.port}")
        os.makedirs(self.runtime, exist_ok=True)
        self.log_path = os.path.join(self.runtime, "serve.log")
        env = dict(os.environ, GALSIFT_BUILD=build, GALSIFT_SITE=site, TMPDIR=self.runtime,
                   **LIMITS)
        env.pop("GALSIFT_PAGE_ROWS", None)
        with open(self.log_path, "wb") as log:
            self.process = subprocess.Popen([os.path.join(ROOT, "scripts", "serve"),
                                             str(self.port)], env=env,
                                            stdout=subprocess.DEVNULL, stderr=log)
        for _ in range(300):
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return
            except OSError:
                time.sleep(0.1)
        self.stop()
        raise RuntimeError(f"{label}: scripts/serve did not listen on {self.port}")

    def stop(self):
        """Ends scripts/serve (which stops lighttpd and with it the server) and waits."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
            try:
                self.process.wait(timeout=60)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()

    def server_ids(self):
        """The process ids of the galsift-server processes below this scripts/serve."""
        return [pid for pid in descendants(self.process.pid) if command_name(pid) == "galsift-server"]

    def resident_bytes(self):
        """The summed resident memory of the server processes, in bytes."""
        return sum(resident_kb(pid) for pid in self.server_ids()) * 1024

    def log(self):
        """What the server and lighttpd wrote so far (scripts/serve's standard error and
        lighttpd's error log)."""
        text = open(self.log_path, errors="replace").read()
        for path in glob.glob(os.path.join(self.runtime, "galsift-serve-*", "error.log")):
            text += open(path, errors="replace").read()
        return text

    def reads(self):
        """The catalogue reads the server reported: [(entries, seconds)]."""
        return [(int(n), float(s)) for n, s in
                re.findall(r"read CG2000\.dat: (\d+) entries, [^,]*, ([0-9.]+) s", self.log())]


# ---- Processes ----

def descendants(root):
    """The ids of `root` and every process below it."""
    children = {}
    for name in os.listdir("/proc"):
        if name.isdigit():
            try:
                with open(f"/proc/{name}/stat") as stat:
                    parent = int(stat.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(parent, []).append(int(name))
            except (OSError, IndexError, ValueError):
                pass
    found, todo = [], [root]
    while todo:
        pid = todo.pop()
        found.append(pid)
        todo.extend(children.get(pid, []))
    return found


def command_name(pid):
    try:
        with open(f"/proc/{pid}/comm") as comm:
            return comm.read().strip()
    except OSError:
        return ""


def task_times(pids):
    """(seconds on a processor, seconds runnable but waiting for one) summed over every
    thread of `pids`, from /proc/PID/task/TID/schedstat."""
    run = wait = 0
    for pid in pids:
        for path in glob.glob(f"/proc/{pid}/task/*/schedstat"):
            try:
                with open(path) as stat:
                    fields = stat.read().split()
                run, wait = run + int(fields[0]), wait + int(fields[1])
            except (OSError, IndexError, ValueError):
                pass
    return run / 1e9, wait / 1e9


def resident_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as status:
            match = re.search(r"^VmRSS:\s+(\d+) kB", status.read(), re.M)
            return int(match.group(1)) if match else 0
    except OSError:
        return 0


# ---- Asking ----

class Kept:
    """One kept HTTP connection to 127.0.0.1:`port`. A connection idle for longer than the
    web server keeps one (lighttpd: 5 s) is opened again before a request, outside its time."""

    IDLE = 3.0

    def __init__(self, port, timeout=600):
        self.port, self.timeout = port, timeout
        self.connection, self.used = None, 0.0

    def open(self):
        if self.connection:
            self.connection.close()
        self.connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=self.timeout)
        self.connection.connect()

    def get(self, path):
        """GETs `path`; returns (seconds, status, body). A connection the server closed
        meanwhile is opened again once and the request sent again (that one timed)."""
        if not self.connection or time.monotonic() - self.used > self.IDLE:
            self.open()
        for attempt in (1, 2):
            try:
                start = time.perf_counter()
                self.connection.request("GET", path)
                response = self.connection.getresponse()
                body = response.read()
                took = time.perf_counter() - start
                break
            except (http.client.RemoteDisconnected, ConnectionError):
                if attempt == 2:
                    raise
                self.open()
        if response.will_close:
            self.connection.close()
            self.connection = None
        self.used = time.monotonic()
        return took, response.status, body

    def close(self):
        if self.connection:
            self.connection.close()
            self.connection = None


def answer_count(query, body):
    """The number of entries an answer to `query` says it selected: the page's "There are N
    records" (0 for "There is no record"), a cone answer's rows; None for the form or an
    answer that says neither."""
    if query.cone:
        return body.count(b"<TR>") if b"<TABLEDATA>" in body else None
    if query.box:
        if b"There is no record corresponding" in body:
            return 0
        match = re.search(rb"There are\s+(\d+)\s+records", body)
        return int(match.group(1)) if match else None
    return None


def answer_total(body):
    """The catalogue's size a results page states, or None."""
    match = re.search(rb"Total number of records is\s+(\d+)", body)
    return int(match.group(1)) if match else None


def served_system(served):
    """A system of the measurement answering over one kept connection to `served`."""
    kept = Kept(served.port)
    threads = {}  # query key: [(seconds on a processor, seconds waiting for one)] of the server

    def ask(query):
        ids = served.server_ids()
        before = task_times(ids)
        took, status, body = kept.get(queries.served_path(query))
        after = task_times(ids)
        if status != 200:
            raise RuntimeError(f"{served.label}: {query.key} answered {status}")
        threads.setdefault(query.key, []).append((after[0] - before[0], after[1] - before[1]))
        return took, answer_count(query, body)

    return {"label": served.label, "ask": ask, "close": kept.close, "served": served,
            "threads": threads}


def serve_pair(build, site, scratch):
    """Two query servers of `build` on two loopback TCP ports behind one lighttpd, serving
    `site`: to return an object with the interface of Served (label, port, stop,
    server_ids, resident_bytes, reads), which served_system and clients_at_once then use
    as they use one server. Left to be written with servers that listen on a port of their
    own (`galsift-server --listen 127.0.0.1:PORT`, each with GALSIFT_PAGES=site, and
    scripts/serve with GALSIFT_FRONT_END=servers and GALSIFT_SERVERS naming both); the
    server measured here (main at 16c3920) cannot. Raises NotImplementedError."""
    raise NotImplementedError("two servers behind one lighttpd are not measured yet")
