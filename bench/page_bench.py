"""The page in headless Chromium. Its processor time beside that of a minimal page that shows a
256 x 256 picture at 50 frames a second with putImageData, enlarged to the same size: three
browsers side by side over the same seconds of the show (the minimal page, the page without
sound, the page with sound), each one's time summed over all its processes. Then the bytes a
first visit transfers from a server that compresses as static servers do, and the time from a
load without a network, from the kept files, to the first frame.

    python3 bench/page_bench.py [--seconds 10] [--rounds 3] [site folder]
"""

import argparse
import email.utils
import gzip
import http.server
import io
import os
import threading
import shutil
import statistics
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "web"))
sys.dont_write_bytecode = True

from page import SITE, Page, Site  # noqa: E402
from serve import Handler  # noqa: E402

# Only the presents counted, and the time of the first: the tests' watch of the sound would cost
# time of its own.
PRESENTS = """
(() => {
  let count = 0;
  window.kelpPresents = {get length() { return count; }};
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    if (!count++) window.kelpFirstFrame = performance.now();
    return put.apply(this, args);
  };
})();
"""

WIDTH, HEIGHT = 1280, 900

# As little as a page can do to show a moving picture: one ImageData, a new picture copied in
# and put every 20 ms, on a canvas enlarged three times with crisp pixels.
MINIMAL = """<!doctype html>
<html><head><meta charset="utf-8"><title>minimal</title>
<style>html, body { margin: 0; height: 100%; background: #000; }
body { display: flex; align-items: center; justify-content: center; }
canvas { width: 768px; height: 768px; image-rendering: pixelated; }</style></head>
<body><canvas id="screen" width="256" height="256"></canvas>
<script>
const context = document.getElementById('screen').getContext('2d');
const image = context.createImageData(256, 256);
const words = new Uint32Array(image.data.buffer);
const noise = new Uint32Array(2 * words.length);
for (let i = 0; i < noise.length; ++i) noise[i] = 0xFF000000 | (i * 2654435761 >>> 8);
let frame = 0;
setInterval(() => {
  frame = (frame + 257) % words.length;
  words.set(noise.subarray(frame, frame + words.length));
  context.putImageData(image, 0, 0);
}, 20);
</script></body></html>
"""


def cpu_seconds(pid):
    """User and system time of a process and everything it started, in seconds."""
    ticks = os.sysconf("SC_CLK_TCK")
    children = {}
    times = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        children.setdefault(int(fields[1]), []).append(int(entry))
        times[int(entry)] = int(fields[11]) + int(fields[12])
    total, todo = 0, [pid]
    while todo:
        p = todo.pop()
        total += times.get(p, 0)
        todo += children.get(p, [])
    return total / ticks


class Contender:
    def __init__(self, name, url, sound=False):
        self.name = name
        self.page = Page(url, WIDTH, HEIGHT, watch=PRESENTS)
        self.page.send("Emulation.setDeviceMetricsOverride", {"width": WIDTH, "height": HEIGHT, "deviceScaleFactor": 1,
                                                              "mobile": False})
        self.sound = sound
        self.cpu = []
        self.frames = []

    def ready(self):
        self.page.wait("window.kelpPresents && kelpPresents.length > 0", f"{self.name}: the first frame", timeout=60)
        if self.sound:
            self.page.key("1", True)
            self.page.key("1", False)
            self.page.wait("window.SDL && SDL.audioContext && SDL.audioContext.state === 'running'",
                           f"{self.name}: its sound", timeout=60)

    def start(self):
        self._cpu, self._frames = cpu_seconds(self.page.browser.process.pid), self.page.presents()

    def stop(self, seconds):
        self.cpu.append((cpu_seconds(self.page.browser.process.pid) - self._cpu) / seconds)
        self.frames.append((self.page.presents() - self._frames) / seconds)


class StaticServer(http.server.SimpleHTTPRequestHandler):
    """The site as a plain static server sends it: gzip where it helps (not the PNG icons),
    Last-Modified for revalidation, no caching rules; every byte sent is counted."""

    extensions_map = Handler.extensions_map

    class Counted(io.BufferedIOBase):
        def __init__(self, out, server):
            super().__init__()
            self.out, self.server = out, server

        def writable(self):
            return True

        def write(self, data):
            with self.server.lock:
                self.server.sent += len(data)
            return self.out.write(data)

    def setup(self):
        super().setup()
        self.wfile = self.Counted(self.wfile, self.server)

    def send_head(self):
        path = self.translate_path(self.path)
        kind = self.guess_type(path)
        if (not os.path.isfile(path) or kind == "image/png"
                or "gzip" not in self.headers.get("Accept-Encoding", "")):
            return super().send_head()
        modified = int(os.path.getmtime(path))
        since = self.headers.get("If-Modified-Since")
        if since and email.utils.parsedate_to_datetime(since).timestamp() >= modified:
            self.send_response(304)
            self.end_headers()
            return None
        with open(path, "rb") as f:
            body = gzip.compress(f.read(), 6)
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Last-Modified", self.date_time_string(modified))
        self.end_headers()
        return io.BytesIO(body)

    def log_message(self, form, *args):
        if os.environ.get("KELP_BENCH_LOG"):
            super().log_message(form, *args)


def first_visit(folder, reloads=3):
    """The bytes of a first visit, its worker's copies included, and the times from loads without
    a network to the first frame, in milliseconds."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), lambda *a: StaticServer(*a, directory=folder))
    server.sent, server.lock = 0, threading.Lock()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    page = Page(f"http://127.0.0.1:{server.server_address[1]}/", WIDTH, HEIGHT, watch=PRESENTS)
    try:
        page.wait("window.kelpPresents && kelpPresents.length > 0", "the first frame", timeout=60)
        page.wait("navigator.serviceWorker.controller && navigator.serviceWorker.controller.state === 'activated'",
                  "the files kept", timeout=60)
        sent = server.sent
        server.shutdown()
        server.server_close()
        times = []
        for _ in range(reloads):
            page.reload()
            times.append(page.js("kelpFirstFrame"))
        return sent, times
    finally:
        page.close()
        server.server_close()


def main():
    parser = argparse.ArgumentParser(description="The page's processor time beside a minimal page's.")
    parser.add_argument("site", nargs="?", default=SITE)
    parser.add_argument("--seconds", type=float, default=10)
    parser.add_argument("--rounds", type=int, default=3)
    args = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="kelp-minimal-")
    with open(os.path.join(folder, "index.html"), "w") as f:
        f.write(MINIMAL)
    site, minimal_site = Site(args.site), Site(folder)
    contenders = []
    try:
        contenders = [Contender("minimal page", minimal_site.url), Contender("page, silent", site.url),
                      Contender("page, with sound", site.url, sound=True)]
        for c in contenders:
            c.ready()
        time.sleep(2)  # past the start-up's compiling and first layouts
        for _ in range(args.rounds):
            for c in contenders:
                c.start()
            time.sleep(args.seconds)
            for c in contenders:
                c.stop(args.seconds)
        errors = [e for c in contenders for e in c.page.errors()]
        if errors:
            sys.exit(f"page_bench: the pages reported errors: {errors}")
    finally:
        for c in contenders:
            c.page.close()
        site.close()
        minimal_site.close()
        shutil.rmtree(folder, True)

    sent, times = first_visit(args.site)

    base = statistics.median(contenders[0].cpu)
    print(f"{args.rounds} rounds of {args.seconds:g} s side by side at {WIDTH} x {HEIGHT}, medians:")
    print(f"{'':18} {'% of a core':>12} {'frames/s':>9} {'x minimal':>10}   each round")
    for c in contenders:
        cpu = statistics.median(c.cpu)
        rounds = " ".join(f"{t / m:.2f}" for t, m in zip(c.cpu, contenders[0].cpu))
        print(f"{c.name:18} {100 * cpu:12.1f} {statistics.median(c.frames):9.1f} {cpu / base:10.2f}   {rounds}")
    print(f"first visit: {sent / 1000:.0f} kB sent, gzip-compressed as a static server sends them")
    print(f"from the kept files, without a network, to the first frame: {statistics.median(times):.0f} ms"
          f" (median of {len(times)} loads)")


if __name__ == "__main__":
    main()
