#!/usr/bin/env python3
"""Clients in flight while a release is published, against the site at https://HOST served on
127.0.0.1, trusting the authority CA.

  proxy PORT UPSTREAM CERT KEY CONTROL   TLS on PORT, each request passed to UPSTREAM (the
      site's own server, on 127.0.0.1). Armed by a file CONTROL/arm ("PATTERN<TAB>COMMAND"): once
      a request whose path matches PATTERN is answered, every later one waits until COMMAND has
      run (its output in CONTROL/ran). Prints each request.
  reader PORT STOP   fetches the pages, InRelease and what each names, again and again until the
      file STOP exists; fails on any answer but 200 or any file that is not what its name or its
      index says. Prints how often it saw each release.
  oldpage PORT SITE   every file that SITE's home and game pages and its service worker name,
      and every link of the home page: 200, with SITE's bytes where the file is named after its
      content. Run after SITE's release was replaced.
"""
import hashlib
import http.client
import http.server
import json
import os
import re
import socket
import ssl
import subprocess
import sys
import threading
from html.parser import HTMLParser
from pathlib import Path
from urllib.parse import urljoin, urlsplit

HOST, CA = os.environ["TAZZLE_HOST"], os.environ["TAZZLE_CA"]
NAMED = re.compile(r"-([0-9a-f]{16})\.(js|wasm|woff2)$")
HOP = {"connection", "keep-alive", "transfer-encoding", "content-length", "upgrade"}


def connect(port: int) -> http.client.HTTPSConnection:
    context = ssl.create_default_context(cafile=CA)

    class Connection(http.client.HTTPSConnection):
        def connect(self):
            self.sock = context.wrap_socket(
                socket.create_connection(("127.0.0.1", port), timeout=60), server_hostname=HOST)
    return Connection(HOST, port, context=context)


def get(connection, path: str, method: str = "GET", headers=None):
    connection.request(method, path, headers=headers or {})
    response = connection.getresponse()
    return response.status, dict(response.getheaders()), response.read()


def proxy(port, upstream, certificate, key, control):
    control = Path(control)
    lock = threading.Lock()
    state = {"pending": None}

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def do_GET(self):
            self.forward()

        def do_HEAD(self):
            self.forward()

        def forward(self):
            with lock:
                if state["pending"]:
                    ran = subprocess.run(state["pending"], shell=True, capture_output=True,
                                         text=True)
                    (control / "ran").write_text(f"{ran.returncode}\n{ran.stdout}{ran.stderr}")
                    print(f"proxy: ran {state['pending']} before {self.path}: exit "
                          f"{ran.returncode}", flush=True)
                    state["pending"] = None
            headers = {k: v for k, v in self.headers.items() if k.lower() not in HOP}
            status, answer, body = get(connect(upstream), self.path, self.command, headers)
            armed = control / "arm"
            with lock:
                if armed.exists():
                    pattern, command = armed.read_text().rstrip("\n").split("\t", 1)
                    if re.search(pattern, self.path):
                        # Before the answer goes: what the client asks next must wait.
                        state["pending"] = command
                        armed.unlink()
            self.send_response(status)
            for name, value in answer.items():
                if name.lower() not in HOP or (self.command == "HEAD" and
                                               name.lower() == "content-length"):
                    self.send_header(name, value)
            if self.command != "HEAD":
                self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(body)
            print(f"proxy: {self.command} {self.path} {status}", flush=True)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", int(port)), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    print("proxy: ready", flush=True)
    server.serve_forever()


class References(HTMLParser):
    def __init__(self, text: str):
        super().__init__()
        self.found = []
        self.feed(text)

    def handle_starttag(self, tag, attrs):
        self.found += [v for k, v in attrs if k in ("href", "src") and v and v[0] != "#"]


def reader(port, stop):
    connection = connect(int(port))
    seen, rounds, failures = {}, 0, []

    def fetch(path, method="GET"):
        status, headers, body = get(connection, path, method)
        if status != 200:
            failures.append(f"{path}: {status}")
        return headers, body

    def named(path):
        _, body = fetch(path)
        match = NAMED.search(path)
        if match and hashlib.sha256(body).hexdigest()[:16] != match.group(1):
            failures.append(f"{path}: not the file its name says")
        return body

    while not os.path.exists(stop):
        rounds += 1
        for page in ("/", "/play/"):
            _, body = fetch(page)
            for reference in References(body.decode()).found:
                path = urlsplit(urljoin(page, reference)).path
                if NAMED.search(path):
                    script = named(path)
                    for wasm in re.findall(rb"tazzle-[0-9a-f]{16}\.wasm", script):
                        named(urljoin(path, wasm.decode()))
        for suite in ("bookworm", "trixie"):
            dists = f"/apt/dists/{suite}/"
            _, inrelease = fetch(dists + "InRelease")
            release = "InRelease " + hashlib.sha256(inrelease).hexdigest()[:16]
            seen[release] = seen.get(release, 0) + 1
            hashes = re.findall(r"^ ([0-9a-f]{128}) +\d+ (\S+)$",
                                inrelease.decode().split("SHA512:")[-1], re.M)
            for digest, name in hashes:
                if "/" not in name:
                    continue
                _, body = fetch(f"{dists}{name.rsplit('/', 1)[0]}/by-hash/SHA512/{digest}")
                if hashlib.sha512(body).hexdigest() != digest:
                    failures.append(f"{dists}{name} by hash: not what InRelease says")
                if name.endswith("binary-amd64/Packages"):
                    for filename, size in re.findall(r"^Filename: (\S+)\nSize: (\d+)$",
                                                     body.decode(), re.M):
                        headers, _ = fetch(f"/apt/{filename}", "HEAD")
                        if headers.get("Content-Length") != size:
                            failures.append(f"/apt/{filename}: not of the size Packages says")
    print(f"reader: {rounds} rounds, {len(failures)} failures; the repository's indices as they "
          "met them: " + ", ".join(f"{name} {count} times" for name, count in seen.items()))
    for failure in failures[:20]:
        print(f"reader: FAIL {failure}")
    sys.exit(1 if failures or rounds < 2 else 0)


def oldpage(port, site):
    site = Path(site)
    connection = connect(int(port))
    wanted = {}  # path on the site -> the file of SITE it must be, or None for any 200
    for page in ("index.html", "play/index.html"):
        base = "/" + page.rsplit("index.html", 1)[0]
        for reference in References((site / page).read_text()).found:
            path = urlsplit(urljoin(base, reference)).path
            wanted[path] = path
    kept = json.loads(re.search(r"const kept = (.*);", (site / "play/sw.js").read_text()).group(1))
    for address, _ in kept:
        wanted[urljoin("/play/", address)] = urljoin("/play/", address)
    program = [p for p in wanted if NAMED.search(p) and p.endswith(".js")]
    for path in program:
        for wasm in re.findall(r"tazzle-[0-9a-f]{16}\.wasm", (site / path[1:]).read_text()):
            wanted[urljoin(path, wasm)] = urljoin(path, wasm)
    same, answered, failures = 0, 0, []
    for path in sorted(wanted):
        status, _, body = get(connection, path)
        local = site / (path[1:] + ("index.html" if path.endswith("/") else ""))
        if status != 200:
            failures.append(f"{path}: {status}")
            continue
        answered += 1
        if NAMED.search(path) or re.match(r"/download/[^/]+/.*[^/]$|/apt/pool/", path):
            if local.is_file() and body == local.read_bytes():
                same += 1
            else:
                failures.append(f"{path}: not the bytes of the release before")
    print(f"old page: {answered} of {len(wanted)} addresses its pages and worker name answer "
          f"200; {same} named after their content or their release, all with its bytes")
    for failure in failures:
        print(f"old page: FAIL {failure}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    {"proxy": proxy, "reader": reader, "oldpage": oldpage}[sys.argv[1]](*sys.argv[2:])
