"""The show's page in headless Chromium, as the browser test and the screenshot maker drive it:
the site served from a folder on 127.0.0.1, the page's presents and sound watched from inside
the browser, keys pressed, virtual time advanced, pictures read."""

import base64
import http.server
import os
import struct
import sys
import threading
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
sys.path.insert(0, os.path.join(ROOT, "web"))  # the page's own local server
sys.path.insert(0, os.path.join(HERE, ".."))  # the tests' shared modules

from cdp import Chromium  # noqa: E402
from ppm import read_ppm_file  # noqa: E402
from serve import Handler  # noqa: E402

SITE = os.environ.get("KELP_SITE", os.path.join(ROOT, "build-web", "site"))

# Counts what reaches the person: each present the canvas receives (SDL puts the picture there
# with putImageData), and each sound buffer the page's audio starts, with whether it holds sound.
WATCH = """
(() => {
  const presents = window.kelpPresents = [];
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    presents.push(performance.now());
    return put.apply(this, args);
  };
  const sound = window.kelpSound = {buffers: 0, loud: 0, values: []};
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...args) {
    sound.buffers++;
    if (this.buffer && this.buffer.getChannelData(0).some(v => v !== 0)) sound.loud++;
    // The 16-bit values the show sent: SDL hands them to the page as value / 32768.
    if (this.buffer && sound.values.length < 400000) {
      for (const v of this.buffer.getChannelData(0)) sound.values.push(Math.round(v * 32768));
    }
    return start.apply(this, args);
  };
})();
"""

KEYS = {"escape": ("Escape", "Escape", 27), "space": (" ", "Space", 32), "enter": ("Enter", "Enter", 13)}


def key_event(name):
    if name in KEYS:
        return KEYS[name]
    code = ("Key" + name.upper()) if name.isalpha() else ("Digit" + name)
    return name, code, ord(name.upper())


class Site:
    """The site folder served on a free port of 127.0.0.1 while in use; `folder` may be changed
    meanwhile, as a new build would be put in place."""

    def __init__(self, folder=SITE):
        self.folder = folder
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                                      lambda *a: Handler(*a, directory=self.folder))
        self.server.quiet = True
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class Page:
    def __init__(self, url, width=800, height=600, ratio=None, watch=WATCH):
        """With a device pixel `ratio`, the page is a phone's: a `width` x `height` screen of CSS
        pixels that is touched, not clicked. `watch` runs in the page before its own scripts.
        Without a `url`, nothing is opened until open()."""
        self.browser = Chromium(width, height)
        self.session = self.browser.page()
        for domain in ("Page", "Runtime"):
            self.send(f"{domain}.enable")
        if ratio:
            self.send("Emulation.setDeviceMetricsOverride", {"width": width, "height": height, "deviceScaleFactor": ratio,
                                                             "mobile": True, "screenWidth": width, "screenHeight": height})
            self.send("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
        self.send("Page.addScriptToEvaluateOnNewDocument", {"source": watch})
        if url:
            self.open(url)

    def open(self, url):
        self.send("Page.navigate", {"url": url})

    def reload(self):
        """Loads the page again and waits for the new document's first frame (the reload is only
        asked for when the command returns: the old document may still be there)."""
        self.js("window.kelpOldDocument = true")
        self.send("Page.reload")
        self.wait("!window.kelpOldDocument && window.kelpPresents && kelpPresents.length > 0",
                  "the first frame after loading again", timeout=60)

    def close(self):
        self.browser.close()

    def send(self, method, params=None):
        return self.browser.send(method, params, self.session)

    def js(self, expression):
        reply = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True, "awaitPromise": True})
        if "exceptionDetails" in reply:
            raise AssertionError(f"{expression}: {reply['exceptionDetails'].get('text')}")
        return reply["result"].get("value")

    def wait(self, expression, what, timeout=30):
        """Polls a condition on the page in real time."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                if self.js(expression):
                    return
            except AssertionError:  # the page is not there yet
                pass
            time.sleep(0.05)
        raise AssertionError(f"timed out waiting for {what}")

    def errors(self):
        """Uncaught exceptions and console errors of the page so far."""
        thrown = [e["exceptionDetails"].get("exception", {}).get("description") or e["exceptionDetails"].get("text")
                  for e in self.browser.events("Runtime.exceptionThrown")]
        logged = [" ".join(str(a.get("value", a.get("description"))) for a in e["args"])
                  for e in self.browser.events("Runtime.consoleAPICalled") if e["type"] == "error"]
        return thrown + logged

    # --- virtual time: the page's clock and timers move only when told, so pictures and pace do
    # not depend on how loaded the machine is.

    def freeze(self):
        self.send("Emulation.setVirtualTimePolicy", {"policy": "pause"})

    def advance(self, milliseconds):
        self.send("Emulation.setVirtualTimePolicy", {"policy": "advance", "budget": milliseconds})
        self.browser.wait_event("Emulation.virtualTimeBudgetExpired", timeout=120)

    def key(self, name, down):
        text, code, virtual = key_event(name)
        params = {"type": "keyDown" if down else "keyUp", "key": text, "code": code,
                  "windowsVirtualKeyCode": virtual, "nativeVirtualKeyCode": virtual}
        if down and len(text) == 1:
            params["text"] = text
        self.send("Input.dispatchKeyEvent", params)

    def press(self, name, hold=100):
        """Key down, `hold` virtual milliseconds (several frames), key up, a frame more."""
        self.key(name, True)
        self.advance(hold)
        self.key(name, False)
        self.advance(40)

    def drawn(self, method, params, patience=0.0):
        """Sends commands the browser answers only after drawing, which on paused virtual time it
        may never do: after `patience` real seconds, virtual time moves on 10 ms at a time."""
        sent = [self.browser.post(method, p, self.session) for p in params]
        deadline = time.monotonic() + patience
        while not all(self.browser.answered(i) for i in sent) and time.monotonic() < deadline:
            time.sleep(0.01)
        for _ in range(200):
            if all(self.browser.answered(i) for i in sent):
                break
            self.advance(10)
        return [self.browser.answer(i, method, timeout=1) for i in sent]

    def tap(self, selector):
        """A finger on the middle of the element and off again."""
        box = self.js(f"""(() => {{ const r = document.querySelector({selector!r}).getBoundingClientRect();
                          return {{x: r.left + r.width / 2, y: r.top + r.height / 2}}; }})()""")
        self.drawn("Input.dispatchTouchEvent", [{"type": "touchStart", "touchPoints": [box]},
                                                {"type": "touchEnd", "touchPoints": []}])

    def sound_values(self):
        """The sound the page has played so far, as 16-bit little-endian values."""
        data = self.js("""(() => {
          const v = kelpSound.values, bytes = new Uint8Array(2 * v.length);
          for (let i = 0; i < v.length; ++i) { bytes[2 * i] = v[i] & 255; bytes[2 * i + 1] = (v[i] >> 8) & 255; }
          let s = '';
          for (let i = 0; i < bytes.length; i += 8192) s += String.fromCharCode(...bytes.subarray(i, i + 8192));
          return btoa(s);
        })()""")
        return base64.b64decode(data)

    def presents(self):
        return self.js("kelpPresents.length")

    def canvas(self):
        """The 256 x 256 picture on the canvas, as rows of 0xRRGGBB words."""
        data = self.js("""(() => {
          const d = document.getElementById('screen').getContext('2d').getImageData(0, 0, 256, 256).data;
          let s = '';
          for (let i = 0; i < d.length; i += 4) s += String.fromCharCode(d[i], d[i + 1], d[i + 2]);
          return btoa(s);
        })()""")
        return rgb_words(base64.b64decode(data), 256, 256)

    def screenshot(self, clip=None):
        params = {"format": "png"}
        if clip:
            params["clip"] = {**clip, "scale": 1}
        return base64.b64decode(self.drawn("Page.captureScreenshot", [params], patience=1)[0]["data"])

    def canvas_box(self):
        return self.js("""(() => { const r = document.getElementById('screen').getBoundingClientRect();
                          return {x: r.left, y: r.top, width: r.width, height: r.height}; })()""")


def rgb_words(data, width, height):
    return [[(data[3 * (y * width + x)] << 16) | (data[3 * (y * width + x) + 1] << 8) | data[3 * (y * width + x) + 2]
             for x in range(width)] for y in range(height)]


def read_picture(path):
    """Rows of 0xRRGGBB words of a PPM picture."""
    width, height, rgb = read_ppm_file(path)
    return rgb_words(rgb, width, height)


def read_png(data):
    """Rows of 0xRRGGBB words of an 8-bit RGB or RGBA PNG, as Chromium writes them."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    at, chunks, header = 8, [], None
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            chunks.append(body)
        at += 12 + length
    width, height, depth, colour = header[:4]
    assert depth == 8 and colour in (2, 6), "unexpected PNG format"
    step = 3 if colour == 2 else 4
    raw, stride = zlib.decompress(b"".join(chunks)), width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - step] if i >= step else 0
            b, c = previous[i], previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([(line[x * step] << 16) | (line[x * step + 1] << 8) | line[x * step + 2] for x in range(width)])
        previous = line
    return rows
