"""The figures as Markdown tables."""
import statistics

from storebench.measure import percentile


def ms(seconds):
    return "–" if seconds is None else f"{seconds * 1000:.1f} ms"


def power(size):
    text = str(size)
    return f"10^{len(text) - 1}" if text.startswith("1") and set(text[1:]) <= {"0"} else text


def latency_table(results, labels):
    """Medians and 99th percentiles of every system for every size and query."""
    head = "| entries | query (rows) | " + " | ".join(f"{label} p50 | p99" for label in labels) + " |"
    lines = [head, "|---|---|" + "---|---|" * len(labels)]
    for result in results:
        for query in result["queries"]:
            rows = result["rows"].get(query.key)
            cells = []
            for label in labels:
                values = result["times"].get(label, {}).get(query.key, [])
                median = statistics.median(values) if values else None
                cells.append(f"{ms(median)} | {ms(percentile(values, 0.99))}")
            shown = "" if rows is None else f" ({rows:,})"
            lines.append(f"| {power(result['size'])} | {query.label}{shown} | " + " | ".join(cells) + " |")
    return "\n".join(lines)


def plan_table(results):
    lines = ["| entries | query | plan used [top node]: median of the calibration | other plans |",
             "|---|---|---|---|"]
    for result in results:
        for key, (chosen, medians, nodes) in result["plans"].items():
            label = next(q.label for q in result["queries"] if q.key == key)
            others = "; ".join(f"{name} [{nodes[name]}]: {ms(value)}"
                               for name, value in medians.items() if name != chosen)
            lines.append(f"| {power(result['size'])} | {label} | {chosen} [{nodes[chosen]}]: "
                         f"{ms(medians[chosen])} | {others or '–'} |")
    return "\n".join(lines)


def throughput_table(results, clients):
    lines = [f"| entries | query | system | 1 client | {clients} clients | ratio "
             f"| {clients} clients p50 | p99 | not 200 |",
             "|---|---|---|---|---|---|---|---|---|"]
    for result in results:
        for (label, key), figures in result["throughput"].items():
            query = next(q for q in result["queries"] if q.key == key)
            one, many = figures[1], figures[clients]
            lines.append(f"| {power(result['size'])} | {query.label} | {label} | {one[0]:.1f} q/s "
                         f"| {many[0]:.1f} q/s | {many[0] / one[0]:.2f} | "
                         f"{ms(statistics.median(many[1]))} | {ms(percentile(many[1], 0.99))} "
                         f"| {one[2] + many[2]} |")
    return "\n".join(lines)


def memory_table(results):
    lines = ["| entries | system | resident after loading | bytes an entry | first query (the read) |",
             "|---|---|---|---|---|"]
    for result in results:
        size = result["size"]
        for label, (resident, first, read) in result["memory"].items():
            logged = f", the server's log: {read:.2f} s" if read is not None else ""
            lines.append(f"| {power(size)} | {label} | {resident / 2**20:,.0f} MiB | "
                         f"{resident / size:.0f} | {ms(first)}{logged} |")
        table, indexes = result["pg_disk"]
        lines.append(f"| {power(size)} | PostgreSQL 15 + Q3C (table + indexes on disk) | "
                     f"{(table + indexes) / 2**20:,.0f} MiB ({table / 2**20:,.0f} + "
                     f"{indexes / 2**20:,.0f}) | {(table + indexes) / size:.0f} | "
                     f"loaded in: {result['pg_load']} |")
    return "\n".join(lines)


def reload_table(reloads):
    lines = ["| system | catalogue replaced | reload (the server's log) | rename to first new answer "
             "| longest wait of a query | answers (not 200, neither total) | resident before / peak / after |",
             "|---|---|---|---|---|---|---|"]
    for r in reloads:
        logged = "–" if r["reload_logged"] is None else f"{r['reload_logged']:.2f} s"
        first = "never" if r["to_first_new"] is None else f"{r['to_first_new']:.2f} s"
        wait = "–" if r["longest_wait"] is None else f"{r['longest_wait']:.2f} s"
        lines.append(f"| {r['label']} | {power(r['sizes'][0])} → {power(r['sizes'][1])} | {logged} "
                     f"| {first} | {wait} | {r['answers']} ({r['not_200']}, {r['mixed']}) | "
                     f"{r['resident_before'] / 2**20:,.0f} / {r['resident_peak'] / 2**20:,.0f} / "
                     f"{r['resident_after'] / 2**20:,.0f} MiB |")
    return "\n".join(lines)


def server_time_table(results):
    """Medians of the server's own time per query over the rounds: on a processor, and
    runnable but waiting for one (the machine's other work shows there)."""
    lines = ["| entries | query | system | latency p50 | server on a processor p50 | "
             "server waiting for a processor p50 |", "|---|---|---|---|---|---|"]
    for result in results:
        for label, by_key in result["server_times"].items():
            for query in result["queries"]:
                pairs = by_key.get(query.key, [])
                if not pairs:
                    continue
                latency = statistics.median(result["times"][label][query.key])
                lines.append(f"| {power(result['size'])} | {query.label} | {label} | {ms(latency)} "
                             f"| {ms(statistics.median(p[0] for p in pairs))} "
                             f"| {ms(statistics.median(p[1] for p in pairs))} |")
    return "\n".join(lines)
