#!/usr/bin/env python3
"""A time-stamp authority (RFC 3161) for a test's signing: each request POSTed to it is answered
by `openssl ts -reply` with the authority of the given configuration. It listens on a free port
of 127.0.0.1 and writes the port to a file once it does.
Usage: tsa.py <openssl ts configuration> <port file>"""
import http.server
import subprocess
import sys
import tempfile
from pathlib import Path


class Authority(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        with tempfile.TemporaryDirectory() as folder:
            query, reply = Path(folder, "query.tsq"), Path(folder, "reply.tsr")
            query.write_bytes(self.rfile.read(int(self.headers.get("Content-Length", 0))))
            done = subprocess.run(["openssl", "ts", "-reply", "-config", sys.argv[1],
                                   "-queryfile", query, "-out", reply], capture_output=True)
            if done.returncode != 0 or not reply.exists():
                self.send_error(400, done.stderr.decode(errors="replace")[-200:])
                return
            body = reply.read_bytes()
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, format, *args):
        pass


if len(sys.argv) != 3:
    sys.exit(__doc__)
server = http.server.HTTPServer(("127.0.0.1", 0), Authority)
Path(sys.argv[2]).write_text(str(server.server_address[1]))
server.serve_forever()
