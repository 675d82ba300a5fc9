"""Serves the built site (build-web/site by default) on 127.0.0.1 until Ctrl+C: a plain static
server, with the WebAssembly type and no caching, so a rebuilt page is what a reload shows.

    python3 web/serve.py [--port 8207] [--quiet] [folder]
"""

import argparse
import functools
import http.server
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm",
                      ".js": "text/javascript", ".webmanifest": "application/manifest+json"}

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, *args):
        if not self.server.quiet:
            super().log_message(*args)


def main():
    parser = argparse.ArgumentParser(description="Serve the show's site on this machine.")
    parser.add_argument("folder", nargs="?", default=os.path.join(HERE, "..", "build-web", "site"))
    parser.add_argument("--port", type=int, default=8207, help="0 picks a free port (printed)")
    parser.add_argument("--quiet", action="store_true", help="no line per request")
    args = parser.parse_args()
    if not os.path.isfile(os.path.join(args.folder, "index.html")):
        sys.exit(f"serve: no site in {args.folder}; `make web` builds it")
    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port),
                                             functools.partial(Handler, directory=args.folder))
    server.quiet = args.quiet
    print(f"Serving the show at http://127.0.0.1:{server.server_address[1]}/ (Ctrl+C stops)", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
