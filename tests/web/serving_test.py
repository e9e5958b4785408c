#!/usr/bin/env python3
"""The query server as a site relies on it, through a real lighttpd (scripts/serve):

- HEAD is answered as GET without the body;
- random boxes, asked by several clients at once over a catalogue with entries on the
  bounds, at the poles, at 0h and 24h, with "-00" declinations and duplicate positions,
  are answered byte for byte with the page galsift writes for the same query;
- a damaged catalogue (cut inside an entry, random bytes, rewritten in place while clients
  ask) never replaces the good one: every answer is of one version whole;
- a query past the time limit is answered 500 alone, the queries waiting behind it get
  their own answers, and the server is neither started again nor reads its catalogues again;
- slow readers of long downloads hold a bounded memory and no disk;
- a streamed download whose server dies is a failed transfer for its client, never a
  complete one;
- two servers on two loopback ports behind one lighttpd: one stopped, every answer stays
  right.

Usage: serving_test.py GALSIFT   (GALSIFT_BUILD names the build folder)
"""
import http.client
import os
import random
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.parse

REPOSITORY = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ.get("GALSIFT_BUILD", os.path.join(REPOSITORY, "build", "default"))
SERVER = os.path.join(BUILD, "src", "server", "galsift-server")


# ---- The catalogue ----

def catalogue(count, seed, shift=0.0):
    """A catalogue of `count` entries as bytes; `shift` is added to every redshift, so that
    versions of one catalogue answer differently."""
    rng = random.Random(seed)
    lines = []
    for n in range(count):
        kind = rng.randrange(12)
        hours, minutes, seconds = rng.randrange(24), rng.randrange(60), rng.randrange(6000) / 100
        sign, degrees = rng.choice("+-"), rng.randrange(91)
        arc_minutes, arc_seconds = rng.randrange(60), rng.randrange(600) / 10
        if kind == 0:  # a bound of the boxes below: whole minutes
            seconds, arc_seconds = 0, 0
        elif kind == 1:  # a pole
            degrees, arc_minutes, arc_seconds = 90, 0, 0
        elif kind == 2:  # 0h or 24h
            hours, minutes, seconds = rng.choice((0, 24)), 0, 0
        elif kind == 3:  # "-00"
            sign, degrees = "-", 0
        elif kind == 4 and lines:  # a duplicate position
            lines.append(lines[-1])
            continue
        z = rng.randrange(30000) / 10000 - 0.005 + shift
        lines.append(f"{hours:02d}${minutes:02d}${seconds:05.2f}${sign}{degrees:02d}${arc_minutes:02d}$"
                     f"{arc_seconds:04.1f}${z:.4f}$ G{n} $Ref {n % 97} et al.$\n")
    return "".join(lines).encode()


def random_box(rng):
    """Form data of a box whose bounds fall on whole minutes (as many entries do)."""
    def angle(limit):
        return [rng.randrange(limit), rng.randrange(60), 0]
    ra = sorted([angle(24), angle(24)])
    dec = sorted([[rng.choice((-1, 1)) * rng.randrange(90), rng.randrange(60), 0] for _ in range(2)],
                 key=lambda d: (d[0] * 60 + (d[1] if d[0] >= 0 else -d[1])))
    if rng.randrange(5) == 0:
        ra[1] = [24, 0, 0]
    if rng.randrange(5) == 0:
        dec[0] = [-90, 0, 0]
    declination = lambda d: f"{'-' if d[0] < 0 else '+'}{abs(d[0]):02d}:{d[1]:02d}:{d[2]:02d}"
    z_min, z_max = rng.choice((("-1", "3"), ("0.5", "1.5"), ("9", "9.5")))
    return {"epoch": "2000", "ra_min": "%02d:%02d:%02d" % tuple(ra[0]),
            "ra_max": "%02d:%02d:%02d" % tuple(ra[1]), "dec_min": declination(dec[0]),
            "dec_max": declination(dec[1]), "z_min": z_min, "z_max": z_max}


def query_frm(fields):
    return (f"Epoch={fields['epoch']}\nMinimal ascension= {fields['ra_min']}\n"
            f"Maximal ascension= {fields['ra_max']}\nMinimal declination={fields['dec_min']}\n"
            f"Maximal declination={fields['dec_max']}\nMinimal redshift= {fields['z_min']}\n"
            f"Maximal redshift= {fields['z_max']}\n")


def console_page(site, fields):
    """galsift's own page for `fields` over the site's files as they are now."""
    with tempfile.TemporaryDirectory() as folder:
        for name in ("CG2000.dat", "CG1950.dat", "style.var"):
            shutil.copy(os.path.join(site, name), folder)
        with open(os.path.join(folder, "query.frm"), "w") as out:
            out.write(query_frm(fields))
        subprocess.run([GALSIFT], cwd=folder, capture_output=True, check=True)
        with open(os.path.join(folder, "results.html"), "rb") as page:
            return page.read()


# ---- The site ----

def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Site:
    """scripts/serve on a free port over the folder `pages`, with `settings`."""

    def __init__(self, pages, **settings):
        self.port = free_port()
        environment = dict(os.environ, GALSIFT_SITE=pages, GALSIFT_BUILD=BUILD,
                           GALSIFT_PAGE_ROWS="0", **settings)
        self.process = subprocess.Popen([os.path.join(REPOSITORY, "scripts", "serve"), str(self.port)],
                                        env=environment, stdout=subprocess.PIPE,
                                        stderr=subprocess.STDOUT, text=True, start_new_session=True)
        self.said = []  # what scripts/serve, lighttpd and the servers it starts write
        self.runtime = None
        for line in self.process.stdout:
            self.said.append(line)
            if "lighttpd's log" in line:
                self.runtime = os.path.dirname(line.split(": ", 1)[1].strip())
                break
        threading.Thread(target=lambda: self.said.extend(self.process.stdout), daemon=True).start()
        deadline = time.time() + 60
        while time.time() < deadline and self.process.poll() is None:
            try:
                if self.get("/query.htm")[0] == 200:
                    return
            except OSError:
                time.sleep(0.1)
        self.stop()
        raise RuntimeError("scripts/serve did not come up: " + "".join(self.said))

    def get(self, path, timeout=60):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            connection.request("GET", path)
            answer = connection.getresponse()
            return answer.status, answer.read()
        finally:
            connection.close()

    def ask(self, fields, **extra):
        return self.get("/results?" + urllib.parse.urlencode({**fields, **extra}))

    def logged(self):
        return "".join(self.said)

    def server_ids(self):
        """The process ids of the galsift-server processes this site's lighttpd started."""
        lighttpd = [int(p) for p in os.listdir("/proc") if p.isdigit()
                    and os.path.exists(f"/proc/{p}/stat")
                    and read(f"/proc/{p}/stat").split()[3] == str(self.process.pid)]
        return [int(p) for p in os.listdir("/proc") if p.isdigit() and os.path.exists(f"/proc/{p}/stat")
                and int(read(f"/proc/{p}/stat").split()[3]) in lighttpd]

    def stop(self):
        if self.process.poll() is None:
            os.kill(self.process.pid, signal.SIGTERM)
        self.process.wait(timeout=30)


def read(path):
    try:
        with open(path) as file:
            return file.read()
    except OSError:
        return "0 x 0 0"


def resident_kb(pid):
    for line in read(f"/proc/{pid}/status").splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def folder_bytes(path):
    return sum(os.path.getsize(os.path.join(top, name)) for top, _, names in os.walk(path)
               for name in names if os.path.exists(os.path.join(top, name)))


def make_site(folder, entries, seed=1):
    for name in ("query.htm", "introduction.htm", "references.htm", "style.var", "CG1950.dat"):
        shutil.copy(os.path.join(REPOSITORY, "example", name), folder)
    with open(os.path.join(folder, "CG2000.dat"), "wb") as out:
        out.write(catalogue(entries, seed))
    os.chmod(folder, 0o755)


def replace(path, data):
    """Puts `data` at `path` by renaming a new file over it, dated two seconds back so
    that the server need not wait for it to stand still."""
    with open(path + ".new", "wb") as out:
        out.write(data)
    past = time.time() - 2
    os.utime(path + ".new", (past, past))
    os.rename(path + ".new", path)


def wait_until(condition, seconds=15):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.2)
    return False


# ---- The cases ----

class Answers(unittest.TestCase):
    """One site over 20,000 entries for the cases that compare pages."""

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="galsift-serving-")
        make_site(cls.folder, 20000)
        cls.site = Site(cls.folder, GALSIFT_WORKERS="2")

    @classmethod
    def tearDownClass(cls):
        cls.site.stop()
        shutil.rmtree(cls.folder, ignore_errors=True)

    def test_random_boxes_at_once_are_the_console_pages(self):
        rng = random.Random(20)
        boxes = [random_box(rng) for _ in range(48)]
        expected = [console_page(self.folder, box) for box in boxes]
        answers = [None] * len(boxes)

        def client(first):
            for n in range(first, len(boxes), 6):
                answers[n] = self.site.ask(boxes[n])

        threads = [threading.Thread(target=client, args=(n,)) for n in range(6)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        for box, page, (status, body) in zip(boxes, expected, answers):
            self.assertEqual(status, 200, box)
            self.assertEqual(body, page, box)
        self.assertTrue(any(b"There is no record" in page for page in expected))
        self.assertTrue(any(b"records corresponding" in page for page in expected))

    def test_head_is_the_get_without_its_body(self):
        box = random_box(random.Random(3))
        page = console_page(self.folder, box)
        for path, length in (("/results?" + urllib.parse.urlencode(box), len(page)),
                             ("/results", None)):
            connection = http.client.HTTPConnection("127.0.0.1", self.site.port, timeout=60)
            connection.request("HEAD", path)
            answer = connection.getresponse()
            self.assertEqual(answer.status, 200, path)
            self.assertEqual(answer.read(), b"")
            if length is not None:
                self.assertEqual(int(answer.getheader("Content-Length")), length)
            connection.close()

    def test_damaged_catalogues_keep_the_good_one(self):
        path = os.path.join(self.folder, "CG2000.dat")
        box = {"epoch": "2000", "ra_min": "00:00:00", "ra_max": "24:00:00", "dec_min": "-10:00:00",
               "dec_max": "+10:00:00", "z_min": "0", "z_max": "0.5"}
        good = catalogue(20000, 1)
        new = catalogue(20000, 1, shift=0.05)
        before = console_page(self.folder, box)
        cut = new[: len(new) // 2]
        cut = cut[: cut.rindex(b"$") - 3]  # ends inside an entry
        for damaged in (cut, os.urandom(300000)):
            replace(path, damaged)
            self.assertTrue(wait_until(lambda: "is served until it is replaced" in self.site.logged()
                                       or "served as read" in self.site.logged()))
            time.sleep(1.5)
            self.assertEqual(self.site.ask(box), (200, before))
        self.assertIn("ends inside an entry", self.site.logged())
        self.assertIn("could not be read to its end", self.site.logged())

        # Rewritten in place, slowly, while clients ask: each answer of one version whole.
        replace(path, good)
        with open(path, "r+b") as out:
            out.truncate(0)
            answers, asking = [], [True]

            def client():
                while asking[0]:
                    answers.append(self.site.ask(box))

            threads = [threading.Thread(target=client) for _ in range(3)]
            for thread in threads:
                thread.start()
            for start in range(0, len(new), len(new) // 8):
                out.write(new[start:start + len(new) // 8])
                out.flush()
                time.sleep(0.4)
        time.sleep(2.5)
        asking[0] = False
        for thread in threads:
            thread.join()
        after = console_page(self.folder, box)
        self.assertNotEqual(after, before)
        self.assertTrue(wait_until(lambda: self.site.ask(box) == (200, after)))
        self.assertGreater(len(answers), 10)
        for status, body in answers:
            self.assertEqual(status, 200)
            self.assertIn(body, (before, after))


class Limits(unittest.TestCase):
    """A site over 300,000 entries for the cases of long work and long answers."""

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="galsift-serving-")
        make_site(cls.folder, 300000)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    small = {"epoch": "2000", "ra_min": "10:00:00", "ra_max": "10:20:00", "dec_min": "+10:00:00",
             "dec_max": "+12:00:00", "z_min": "-1", "z_max": "5"}

    def test_a_query_past_the_time_limit_is_stopped_alone(self):
        # A whole-sky cone over 300,000 entries takes some 0.2 s to select, a small box a
        # few milliseconds; a sanitizer slows both, two to ten times.
        limit = 0.05 * (3 if os.environ.get("GALSIFT_SANITIZED") else 1)
        site = Site(self.folder, GALSIFT_WORKERS="1", GALSIFT_TIME_LIMIT=str(limit))
        try:
            ids = site.server_ids()
            page = console_page(self.folder, self.small)
            results = {}

            def whole_sky():
                results["cone"] = site.get("/cone?RA=0&DEC=0&SR=180&VERB=3")

            def small(n):
                results[n] = site.ask(self.small)

            runaway = threading.Thread(target=whole_sky)
            runaway.start()
            time.sleep(0.005)
            waiting = [threading.Thread(target=small, args=(n,)) for n in range(5)]
            for thread in waiting:
                thread.start()
            for thread in [runaway] + waiting:
                thread.join()
            self.assertEqual(results["cone"][0], 500)
            for n in range(5):
                self.assertEqual(results[n], (200, page))
            self.assertEqual(site.server_ids(), ids, "the same server, not started again")
            self.assertEqual(site.logged().count("read CG2000.dat"), 1, "read once")
        finally:
            site.stop()

    def test_slow_readers_hold_bounded_memory_and_no_disk(self):
        site = Site(self.folder, GALSIFT_WORKERS="2")
        try:
            whole = "/results?" + urllib.parse.urlencode(
                {**self.small, "ra_min": "00:00:00", "ra_max": "24:00:00", "dec_min": "-90:00:00",
                 "dec_max": "+90:00:00", "format": "csv"})
            server = site.server_ids()[0]
            before = resident_kb(server)
            peak, spooled, stop = [before], [0], threading.Event()
            reading = threading.Semaphore(0)

            def slow_reader():
                with socket.create_connection(("127.0.0.1", site.port)) as connection:
                    connection.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 16384)
                    connection.sendall(f"GET {whole} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
                    first = True
                    while not stop.is_set():  # 50 kB/s
                        if not connection.recv(5000):
                            break
                        if first:
                            reading.release()
                            first = False
                        time.sleep(0.1)

            readers = [threading.Thread(target=slow_reader) for _ in range(20)]
            for reader in readers:
                reader.start()
            for reader in readers:  # every answer is on its way
                self.assertTrue(reading.acquire(timeout=120))
            deadline = time.time() + 4
            while time.time() < deadline:
                peak[0] = max(peak[0], resident_kb(server))
                spooled[0] = max(spooled[0], folder_bytes(os.path.join(site.runtime, "upload")))
                time.sleep(0.2)
            fast = time.time()
            self.assertEqual(site.ask(self.small)[0], 200)
            fast = time.time() - fast
            stop.set()
            for reader in readers:
                reader.join()
            # Each answer holds at most 1 MB before it is streamed, and its writer's buffers;
            # lighttpd keeps a piece of each in a temporary file.
            if not os.environ.get("GALSIFT_SANITIZED"):  # a sanitizer's shadow memory
                self.assertLess(peak[0] - before, 20 * 1536 + 32768, f"{peak[0] - before} kB more")
            self.assertLess(spooled[0], 20 * 128 * 1024, "lighttpd spooled the answers")
            self.assertLess(fast, 2, "a small query waited for the slow readers")
        finally:
            site.stop()

    def test_a_streamed_answer_cut_off_is_a_failed_transfer(self):
        site = Site(self.folder, GALSIFT_WORKERS="2")
        try:
            whole = "/results?" + urllib.parse.urlencode(
                {**self.small, "ra_min": "00:00:00", "ra_max": "24:00:00", "dec_min": "-90:00:00",
                 "dec_max": "+90:00:00", "format": "votable"})
            connection = http.client.HTTPConnection("127.0.0.1", site.port, timeout=60)
            connection.request("GET", whole)
            answer = connection.getresponse()
            self.assertEqual(answer.status, 200)
            answer.read(2 << 20)
            for server in site.server_ids():
                os.kill(server, signal.SIGKILL)
            with self.assertRaises((http.client.IncompleteRead, ConnectionError)):
                while answer.read(1 << 20):
                    pass
            connection.close()
        finally:
            site.stop()


class TwoServers(unittest.TestCase):
    def test_one_stopped_every_answer_stays_right(self):
        folder = tempfile.mkdtemp(prefix="galsift-serving-")
        make_site(folder, 20000)
        ports = [free_port(), free_port()]
        environment = dict(os.environ, GALSIFT_PAGES=folder, GALSIFT_PAGE_ROWS="0")
        servers = [subprocess.Popen([SERVER, "--listen", f"127.0.0.1:{port}"], env=environment,
                                    stderr=subprocess.DEVNULL) for port in ports]
        site = None
        try:
            site = Site(folder, GALSIFT_FRONT_END="servers",
                        GALSIFT_SERVERS=" ".join(f"127.0.0.1:{port}" for port in ports))
            rng = random.Random(2)
            boxes = [random_box(rng) for _ in range(6)]
            pages = [console_page(folder, box) for box in boxes]
            answers, asking = [], [True]

            def client(n):
                while asking[0]:
                    answers.append((n, site.ask(boxes[n])))

            clients = [threading.Thread(target=client, args=(n,)) for n in range(len(boxes))]
            for thread in clients:
                thread.start()
            time.sleep(1.5)
            servers[0].send_signal(signal.SIGTERM)
            self.assertEqual(servers[0].wait(timeout=30), 0)
            count = len(answers)
            time.sleep(2)
            asking[0] = False
            for thread in clients:
                thread.join()
            self.assertGreater(len(answers), count + 10, "answers after the stop")
            for n, (status, body) in answers:
                self.assertEqual(status, 200)
                self.assertEqual(body, pages[n])
        finally:
            if site:
                site.stop()
            for server in servers:
                if server.poll() is None:
                    server.kill()
                    server.wait()
            shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    if not shutil.which("lighttpd") and not os.path.exists("/usr/sbin/lighttpd"):
        print("skipped: lighttpd missing")
        sys.exit(77)
    GALSIFT = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
