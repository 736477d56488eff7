#!/usr/bin/env python3
"""Serves the browser build the way a static host does: gzip for text and code, the right types
for WebAssembly and the web app manifest, and pages checked again on every visit (the service
worker keeps the game for offline play). Usage: serve_web.py FOLDER [PORT] [ADDRESS]."""
import functools
import gzip
import http.server
import os
import sys

COMPRESSED = {".html", ".js", ".wasm", ".data", ".txt", ".json", ".webmanifest", ".svg"}
TYPES = {".wasm": "application/wasm", ".webmanifest": "application/manifest+json",
         ".js": "text/javascript", ".data": "application/octet-stream"}


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES}

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            path = os.path.join(path, "index.html")
        extension = os.path.splitext(path)[1]
        wants_gzip = "gzip" in self.headers.get("Accept-Encoding", "")
        if extension not in COMPRESSED or not wants_gzip or not os.path.isfile(path):
            return super().send_head()
        with open(path, "rb") as f:
            body = gzip.compress(f.read(), 9)
        self.send_response(200)
        self.send_header("Content-Type", self.guess_type(path))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Vary", "Accept-Encoding")
        self.end_headers()
        self.wfile.write(body) if self.command != "HEAD" else None
        return None

    # Files are asked again on every visit (cheaply, when unchanged), so a new build is seen at
    # once; offline play is the service worker's.
    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()


def main():
    folder = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 8080
    address = sys.argv[3] if len(sys.argv) > 3 else "127.0.0.1"
    handler = functools.partial(Handler, directory=folder)
    server = http.server.ThreadingHTTPServer((address, port), handler)
    print(f"Brinkhop is served at http://{address}:{port}/ (Ctrl-C stops it)", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
