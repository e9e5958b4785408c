#!/usr/bin/env python3
"""Two runs of galsift at once in one directory, again and again: the page left behind
must each time be the whole page that one run alone writes, both runs must say that they
wrote it, and no file of theirs may be left beside it.

The catalogue is large (17,560 entries, every one selected: a page of about 3.8 MB), so
that the two runs' writes overlap. Usage: concurrent_runs.py PROGRAM [--trials N]
[--emulator CMD]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

QUERY = ("Epoch=2000\n"
         "Minimal ascension= 00:00:00\n"
         "Maximal ascension= 24:00:00\n"
         "Minimal declination=-90:00:00\n"
         "Maximal declination=+90:00:00\n"
         "Minimal redshift= -1\n"
         "Maximal redshift= 10\n")
CREATED = b"File result.html has been created successfully"


def catalogue(entries):
    lines = []
    for i in range(entries):
        lines.append("%02d$%02d$%05.2f$%+03d$%02d$%02d$%.4f$ Galaxy %05d $Somebody et al. %d$\n"
                     % (i % 24, i % 60, (i * 7 % 6000) / 100, i % 179 - 89, i % 60,
                        i * 13 % 60, (i % 1000) / 100, i, 1950 + i % 70))
    return "".join(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("--trials", type=int, default=40)
    parser.add_argument("--emulator", default="")
    args = parser.parse_args()
    command = args.emulator.split(";") if args.emulator else []
    command.append(os.path.abspath(args.program))

    work = tempfile.mkdtemp(prefix="galsift-concurrent-")
    try:
        with open(os.path.join(work, "query.frm"), "w") as f:
            f.write(QUERY)
        with open(os.path.join(work, "CG2000.dat"), "w") as f:
            f.write(catalogue(17560))

        def run_two():
            runs = [subprocess.Popen(command, cwd=work, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.PIPE) for _ in range(2)]
            return [run.communicate(timeout=300)[0] for run in runs]

        subprocess.run(command, cwd=work, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       check=True, timeout=300)
        with open(os.path.join(work, "results.html"), "rb") as f:
            alone = f.read()
        if len(alone) < 3000000:
            print(f"the page of one run has only {len(alone)} bytes")
            return 1

        wrong = []
        for trial in range(args.trials):
            said = run_two()
            with open(os.path.join(work, "results.html"), "rb") as f:
                page = f.read()
            problems = []
            if page != alone:
                problems.append(f"a page of {len(page)} bytes ({page.count(0)} NUL bytes), "
                                f"not the {len(alone)} bytes of one run's page")
            for n, out in enumerate(said):
                if CREATED not in out:
                    problems.append(f"run {n + 1} said {out!r}")
            left = sorted(set(os.listdir(work)) - {"query.frm", "CG2000.dat", "results.html"})
            if left:
                problems.append(f"left behind: {left}")
            if problems:
                wrong.append(trial)
                print(f"trial {trial + 1}: " + "; ".join(problems))
        print(f"{len(wrong)} of {args.trials} trials left a wrong page or files behind")
        return 1 if wrong else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
