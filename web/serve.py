#!/usr/bin/env python3
"""Serves the web page's folder on 127.0.0.1 with Python's http.server until interrupted, and
prints its address. The page is served cross-origin isolated (the COOP and COEP headers): only
then does the browser's clock tick in microseconds rather than tenths of milliseconds, which the
page's own timing of the step needs.

Usage: serve.py FOLDER [PORT]   (PORT 0, the default, takes any free port)
"""

import functools
import http.server
import sys


class IsolatedHandler(http.server.SimpleHTTPRequestHandler):
    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, format, *args):
        pass


def main():
    if len(sys.argv) not in (2, 3) or (len(sys.argv) == 3 and not sys.argv[2].isdigit()):
        print("usage: serve.py FOLDER [PORT]", file=sys.stderr)
        return 2
    handler = functools.partial(IsolatedHandler, directory=sys.argv[1])
    port = int(sys.argv[2]) if len(sys.argv) == 3 else 0
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
