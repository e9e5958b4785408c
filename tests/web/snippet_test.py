#!/usr/bin/env python3
"""The packaged lighttpd snippet, as the build configured it, served by a real lighttpd on
a free loopback port with the example site: the settings files are refused under every
address that names them, and lighttpd's own error pages carry the site's headers and
charset, though Debian's lighttpd.conf loads mod_access before the snippet runs.

    snippet_test.py LIGHTTPD SNIPPET SITE ERROR_PAGES

Needs no front end: the snippet's include lines are left out.
"""
import os
import re
import socket
import subprocess
import sys
import tempfile
import time

# What every page lighttpd sends of the site must carry.
GUARDS = [
    "Content-Security-Policy: default-src 'none'; ",
    "X-Content-Type-Options: nosniff",
    "Content-Type: text/html; charset=UTF-8",
]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def fetch(port, path):
    """The status, headers (as text) and body of GET `path`, sent as it stands."""
    with socket.create_connection(("127.0.0.1", port), timeout=10) as s:
        s.sendall(f"GET {path} HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n".encode())
        answer = b""
        while chunk := s.recv(65536):
            answer += chunk
    head, _, body = answer.partition(b"\r\n\r\n")
    head = head.decode("latin-1")
    return int(head.split()[1]), head, body


def main():
    lighttpd, snippet, site, errors = sys.argv[1:5]
    failures = []
    with tempfile.TemporaryDirectory() as work:
        port = free_port()
        with open(snippet) as f:
            text = f.read()
        text = re.sub(r'(?m)^var\.galsift_site = .*$', f'var.galsift_site = "{site}"', text)
        text = re.sub(r'(?m)^(\s*server\.errorfile-prefix = ).*$', rf'\g<1>"{errors}/"', text)
        text = re.sub(r'(?m)^#?include .*$', "", text)
        config = os.path.join(work, "lighttpd.conf")
        with open(config, "w") as f:
            f.write(f'server.modules = ("mod_indexfile", "mod_access", "mod_alias")\n'
                    f'server.document-root = "{work}"\nserver.bind = "127.0.0.1"\n'
                    f'server.port = {port}\nserver.errorlog = "{work}/error.log"\n'
                    f'mimetype.assign = (".html" => "text/html")\n' + text)
        server = subprocess.Popen([lighttpd, "-D", "-f", config])
        try:
            for _ in range(100):  # until it listens
                try:
                    fetch(port, "/galsift/query.htm")
                    break
                except OSError:
                    time.sleep(0.1)
            cases = [("/galsift/query.htm", 200)] + [
                (path, 403) for path in ("/galsift/query.frm", "/galsift/style.var",
                                         "/galsift/style.var/", "/galsift/query.frm/x",
                                         "/galsift/style.var%2F", "/galsift/query.frm//")
            ] + [("/galsift/nothing.htm", 404)]
            for path, expected in cases:
                status, head, body = fetch(port, path)
                if status != expected:
                    failures.append(f"{path}: {status}, expected {expected}")
                for guard in GUARDS:
                    if guard not in head:
                        failures.append(f"{path}: no {guard!r} in\n{head}")
                if b"Epoch=" in body or b"Border=" in body or b"iso-8859-1" in body:
                    failures.append(f"{path}: {body[:200]!r}")
        finally:
            server.terminate()
            server.wait()
    for failure in failures:
        print(failure)
    print(f"{len(cases)} addresses, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
