"""Serves a folder on 127.0.0.1 as a real web server would serve the page: the precompressed
.br (or .gz) copy where the browser accepts it, with the type of the file it stands for.
Prints the port, then one JSON line per file sent (path, bytes of body, encoding), and serves
until stopped.
Usage: serve.py folder"""
import http.server
import json
import os
import socketserver
import sys

TYPES = {".wasm": "application/wasm", ".js": "text/javascript", ".html": "text/html",
         ".webmanifest": "application/manifest+json", ".svg": "image/svg+xml",
         ".png": "image/png", ".txt": "text/plain"}


class Handler(http.server.SimpleHTTPRequestHandler):
    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        accepted = self.headers.get("Accept-Encoding", "")
        for encoding, suffix in (("br", ".br"), ("gzip", ".gz")):
            if encoding in accepted and os.path.isfile(path + suffix):
                body = open(path + suffix, "rb")
                self.send_response(200)
                self.send_header("Content-Type", self.guess_type(path))
                self.send_header("Content-Encoding", encoding)
                self.send_header("Content-Length", str(os.fstat(body.fileno()).st_size))
                self.send_header("Vary", "Accept-Encoding")
                self.end_headers()
                self.sent(encoding, os.fstat(body.fileno()).st_size)
                return body
        body = super().send_head()
        if body is not None and hasattr(body, "fileno"):
            self.sent("identity", os.fstat(body.fileno()).st_size)
        return body

    def sent(self, encoding, size):
        print(json.dumps({"path": self.path, "bytes": size, "encoding": encoding}), flush=True)

    def guess_type(self, path):
        return TYPES.get(os.path.splitext(path)[1], "application/octet-stream")

    def log_message(self, *args):
        pass


os.chdir(sys.argv[1])
with socketserver.ThreadingTCPServer(("127.0.0.1", 0), Handler) as server:
    print(server.server_address[1], flush=True)
    server.serve_forever()
