#!/usr/bin/env python3
"""Runs one end-to-end case of galsift and compares what it did with what it should do.

A case is a folder. Its input files (query.frm, style.var, CG2000.dat, CG1950.dat, an
earlier results.html, ...) are copied to a fresh temporary directory, galsift runs there
with no arguments, and then:
  - its standard output must equal expected.out, byte for byte;
  - its exit status must be 0;
  - results.html must equal expected.html when the case has one, and must not exist
    otherwise (a case that starts with an earlier page and expects it untouched keeps a
    copy of it as expected.html);
  - no temporary file of the page may be left behind.
Optional files of a case, never copied: README (what the case is about), setup.sh (run
with bash in the temporary directory first: make large inputs, FIFOs, change modes) and
run.sh (run with bash instead of galsift itself, with $GALSIFT naming the program: for
limits and other users). Where an emulator runs the program (--emulator), $GALSIFT names
a script that starts it under the emulator, $GALSIFT_PROGRAM the program itself and
$GALSIFT_EMULATOR the emulator (empty otherwise); a run.sh that cannot set its conditions
under that emulator prints why and exits 77, and the case counts as skipped. On a Windows
build the line ends CR LF of the output and the page are read as LF, nothing else.
"""
import argparse
import os
import shlex
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77  # what a run.sh returns where its case cannot be run
META = {"README", "expected.out", "expected.html", "setup.sh", "run.sh"}


def read(path):
    with open(path, "rb") as f:
        return f.read()


def show_difference(what, expected, actual):
    print(f"{what} differs")
    print("--- expected")
    print(expected.decode("latin-1")[:4000])
    print("--- actual")
    print(actual.decode("latin-1")[:4000])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("case")
    parser.add_argument("program")
    parser.add_argument("--emulator", default="")
    parser.add_argument("--crlf", action="store_true", help="outputs use CR LF line ends")
    args = parser.parse_args()

    case = os.path.abspath(args.case)
    program = os.path.abspath(args.program)
    command = args.emulator.split(";") if args.emulator else []
    command.append(program)

    work = tempfile.mkdtemp(prefix="galsift-case-")
    # A run.sh starts "$GALSIFT" itself (under setpriv, ulimit): where an emulator runs
    # the program, GALSIFT names a script that starts it, one any user may run.
    galsift = program
    tools = None
    if args.emulator:
        tools = tempfile.mkdtemp(prefix="galsift-emulated-")
        galsift = os.path.join(tools, "galsift")
        with open(galsift, "w") as f:
            f.write("#!/bin/sh\nexec %s \"$@\"\n" % " ".join(shlex.quote(c) for c in command))
        os.chmod(galsift, 0o755)
        os.chmod(tools, 0o755)
    try:
        os.chmod(work, 0o755)
        for name in sorted(os.listdir(case)):
            if name not in META:
                shutil.copy(os.path.join(case, name), os.path.join(work, name))
        env = dict(os.environ, GALSIFT=galsift, GALSIFT_PROGRAM=program,
                   GALSIFT_EMULATOR=args.emulator, GALSIFT_COMMAND=" ".join(command))
        if os.path.exists(os.path.join(case, "setup.sh")):
            subprocess.run(["bash", os.path.join(case, "setup.sh")], cwd=work, env=env,
                           check=True, timeout=600)
        if os.path.exists(os.path.join(case, "run.sh")):
            command = ["bash", os.path.join(case, "run.sh")]
        done = subprocess.run(command, cwd=work, env=env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.PIPE, timeout=300)
        if done.returncode == SKIPPED and os.path.exists(os.path.join(case, "run.sh")):
            print("skipped:", done.stdout.decode("latin-1").strip())
            return SKIPPED

        def normal(data):
            return data.replace(b"\r\n", b"\n") if args.crlf else data

        failures = 0
        expected_out = read(os.path.join(case, "expected.out"))
        if normal(done.stdout) != expected_out:
            show_difference("standard output", expected_out, done.stdout)
            failures += 1
        if done.returncode != 0:
            print(f"exit status {done.returncode}, expected 0")
            failures += 1
        page = os.path.join(work, "results.html")
        expected_page = os.path.join(case, "expected.html")
        if os.path.exists(expected_page):
            if not os.path.exists(page):
                print("results.html was not written")
                failures += 1
            elif normal(read(page)) != read(expected_page):
                show_difference("results.html", read(expected_page), normal(read(page)))
                failures += 1
        elif os.path.exists(page):
            print("results.html was written, but no page was expected")
            failures += 1
        leftovers = [n for n in os.listdir(work) if n.startswith("results.html.")]
        if leftovers:
            print(f"left behind: {leftovers}")
            failures += 1
        return 1 if failures else 0
    finally:
        subprocess.run(["chmod", "-R", "u+rwX", work], check=False)
        shutil.rmtree(work, ignore_errors=True)
        if tools:
            shutil.rmtree(tools, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
