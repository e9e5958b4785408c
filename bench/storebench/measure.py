"""The measurements: systems timed alternately round by round, served queries from several
clients at once, and a catalogue replaced while clients query."""
import math
import os
import threading
import time

from storebench import queries
from storebench.served import Kept, Served, answer_total, make_site


def percentile(values, share):
    """The value below which `share` of `values` lie (nearest rank); None for no values."""
    if not values:
        return None
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, max(0, math.ceil(share * len(ordered)) - 1))]


def alternate(systems, query_list, rounds):
    """Times every query on every system once a round, the systems in an order that turns
    with the round. Returns ({label: {key: [seconds]}}, {label: {key: {counts}}})."""
    times = {s["label"]: {q.key: [] for q in query_list} for s in systems}
    counts = {s["label"]: {q.key: set() for q in query_list} for s in systems}
    for number in range(rounds):
        turn = number % len(systems)
        order = systems[turn:] + systems[:turn]
        for query in query_list:
            for system in order:
                took, counted = system["ask"](query)
                if took is None:
                    continue
                times[system["label"]][query.key].append(took)
                counts[system["label"]][query.key].add(counted)
    return times, counts


def clients_at_once(port, query, clients, seconds):
    """`clients` threads, each on a kept connection of its own, ask `query` again and again
    for `seconds`. Returns (answers per second, [latencies], number of answers not 200)."""
    path = queries.served_path(query)
    latencies, failures = [], []
    lock = threading.Lock()
    start = [0.0]
    finished = []
    ready = threading.Barrier(clients + 1)

    def client():
        kept = Kept(port)
        kept.get(path)  # opens the connection, untimed
        ready.wait()
        while time.perf_counter() < start[0] + seconds:
            took, status, _ = kept.get(path)
            with lock:
                latencies.append(took)
                finished.append(time.perf_counter())
                if status != 200:
                    failures.append(status)
        kept.close()

    threads = [threading.Thread(target=client) for _ in range(clients)]
    for thread in threads:
        thread.start()
    start[0] = time.perf_counter()
    ready.wait()
    for thread in threads:
        thread.join()
    elapsed = max(finished) - start[0] if finished else seconds
    return len(latencies) / elapsed, latencies, len(failures)


def reload_under_load(label, build, scratch, small, big, sizes, clients=2, settle=3.0):
    """Serves a site of the catalogue `small` (of sizes[0] entries), lets `clients` ask the
    small box without pause, renames the catalogue `big` (sizes[1] entries) over it, and
    waits until answers give the new total. Returns a dict of what was seen."""
    site = make_site(os.path.join(scratch, "sites", f"reload-{label}"), small)
    served = Served(f"reload-{label}", build, site, scratch)
    path = queries.served_path(queries.SMALL_BOX)
    answers = []  # (sent, answered, status, total)
    lock = threading.Lock()
    stop = threading.Event()
    peak = [0]
    try:
        Kept(served.port).get(path)  # the first read
        if served.reads()[-1:] and served.reads()[-1][0] != sizes[0]:
            raise RuntimeError("the reload's first catalogue is not the one expected")

        def client():
            kept = Kept(served.port)
            while not stop.is_set():
                sent = time.monotonic()
                _, status, body = kept.get(path)
                with lock:
                    answers.append((sent, time.monotonic(), status, answer_total(body)))
            kept.close()

        def watch():
            while not stop.is_set():
                peak[0] = max(peak[0], served.resident_bytes())
                time.sleep(0.1)

        threads = [threading.Thread(target=client) for _ in range(clients)]
        threads.append(threading.Thread(target=watch))
        for thread in threads:
            thread.start()
        time.sleep(settle)
        before = served.resident_bytes()
        fresh = os.path.join(site, "CG2000.new")
        os.symlink(big, fresh)
        renamed = time.monotonic()
        os.rename(fresh, os.path.join(site, "CG2000.dat"))
        first_new = None
        while first_new is None and time.monotonic() < renamed + 600:
            time.sleep(0.05)
            with lock:
                first_new = min((a[1] for a in answers if a[3] == sizes[1]), default=None)
        time.sleep(settle)
        stop.set()
        for thread in threads:
            thread.join()
        after = served.resident_bytes()
        reads = served.reads()
    finally:
        stop.set()
        served.stop()
    during = [a for a in answers if a[1] >= renamed and (first_new is None or a[0] <= first_new)]
    return {
        "label": label,
        "sizes": sizes,
        "reload_logged": reads[-1][1] if reads and reads[-1][0] == sizes[1] else None,
        "to_first_new": first_new - renamed if first_new else None,
        "longest_wait": max((a[1] - a[0] for a in during), default=None),
        "answers": len(answers),
        "not_200": sum(1 for a in answers if a[2] != 200),
        "mixed": sum(1 for a in answers if a[2] == 200 and a[3] not in sizes),
        "resident_before": before,
        "resident_after": after,
        "resident_peak": peak[0],
    }


def busy_share(seconds=2.0):
    """The share of the processors' time spent busy over `seconds`, from /proc/stat; taken
    while the benchmark itself waits, it is what other work takes of the machine."""
    def sample():
        with open("/proc/stat") as stat:
            fields = [int(v) for v in stat.readline().split()[1:]]
        idle = fields[3] + fields[4]  # idle and iowait
        return sum(fields[:8]) - idle, sum(fields[:8])
    busy1, total1 = sample()
    time.sleep(seconds)
    busy2, total2 = sample()
    return (busy2 - busy1) / max(1, total2 - total1)
