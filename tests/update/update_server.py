#!/usr/bin/env python3
"""A small update server for the updater's tests, on 127.0.0.1 only. It serves the files below
--root and, under a few prefixes, the faults of a real server:

    /short/PATH     Content-Length 100 bytes more than the file, then the connection closes
    /nolength/PATH  no Content-Length, the body, then the connection closes
    /stall/PATH     headers and half of the body, nothing for STALL seconds, then the
                    connection closes
    /status/NNN     status NNN with a short body

The query string is ignored for finding the file; every request line goes to ROOT/requests.log.
The port is chosen by the system and printed as the first line on standard output.
"""

import argparse
import http.server
import os
import sys
import threading
import time
import urllib.parse

# Longer than the client's time-out in the tests (2 s). Wine's WinINet does not apply its
# receive time-out to reads, so there the read ends only when the server closes.
STALL_SECONDS = 6


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    root = "."
    log_lock = threading.Lock()

    def log_message(self, format, *args):  # quiet: the request log is the record
        pass

    def do_GET(self):
        with self.log_lock, open(os.path.join(self.root, "requests.log"), "a", encoding="utf-8") as log:
            log.write(self.path + "\n")
        path = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path)
        mode, _, rest = path.lstrip("/").partition("/")
        if mode == "status":
            self.reply(int(rest or 500), b"status page")
            return
        if mode not in ("short", "nolength", "stall"):
            mode, rest = "plain", path.lstrip("/")
        file_path = os.path.normpath(os.path.join(self.root, rest))
        if not file_path.startswith(os.path.abspath(self.root)) or not os.path.isfile(file_path):
            self.reply(404, b"not found")
            return
        with open(file_path, "rb") as handle:
            body = handle.read()
        try:
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            if mode == "short":
                self.send_header("Content-Length", str(len(body) + 100))
            elif mode != "nolength":
                self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            if mode == "stall":
                self.wfile.write(body[: len(body) // 2])
                self.wfile.flush()
                time.sleep(STALL_SECONDS)
                return
            self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass  # size queries close the connection without reading the body

    def reply(self, status, body):
        try:
            self.send_response(status)
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        except (BrokenPipeError, ConnectionResetError):
            pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    args = parser.parse_args()
    Handler.root = os.path.abspath(args.root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
