"""The page as an app in headless Chromium: installable, kept for visits without a network,
replaced whole by a new build, showing its download, asking for playback."""

import hashlib
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.dont_write_bytecode = True

from page import ROOT, SITE, WATCH, Page, Site  # noqa: E402

WEB = os.path.join(ROOT, "web")
BADGE = os.path.join(ROOT, "data", "badge.ppm")

# The kept files of the one cache the page's worker holds: address and SHA-256 of the body.
CACHED = """(async () => {
  const names = await caches.keys(), files = {};
  for (const name of names) {
    const cache = await caches.open(name);
    for (const request of await cache.keys()) {
      const body = await (await cache.match(request)).arrayBuffer();
      files[name + ' ' + request.url] = [...new Uint8Array(await crypto.subtle.digest('SHA-256', body))]
        .map(b => b.toString(16).padStart(2, '0')).join('');
    }
  }
  return files;
})()"""

# The loading bar's values, sampled until the first frame.
SAMPLES = """
window.kelpLoading = [];
const sample = setInterval(() => {
  const bar = document.getElementById('progress');
  if (window.kelpPresents && kelpPresents.length > 0) return clearInterval(sample);
  if (bar) kelpLoading.push(bar.value);
}, 10);
"""


def first_frame(page):
    page.wait("window.kelpPresents && kelpPresents.length > 0", "the first frame", timeout=60)


def kept_for_offline(page):
    page.wait("navigator.serviceWorker.controller && navigator.serviceWorker.controller.state === 'activated'",
              "the page's files kept by its worker", timeout=60)


def copy_site(folder):
    shutil.copytree(SITE, folder, dirs_exist_ok=True)
    return folder


def site_files(folder):
    """SHA-256 of each file the page's worker keeps, by the address it keeps it under."""
    names = {"index.html": "", "kelp2207.js": "?v={build}", "kelp2207.wasm": "?v={build}"}
    build = build_of(folder)
    files = {}
    for name in os.listdir(folder):
        if name == "sw.js":
            continue
        with open(os.path.join(folder, name), "rb") as f:
            key = "" if name == "index.html" else name + names.get(name, "").format(build=build)
            files[key] = hashlib.sha256(f.read()).hexdigest()
    return files


def build_of(folder):
    with open(os.path.join(folder, "sw.js")) as f:
        return next(line.split("'")[1] for line in f if line.startswith("const BUILD"))


class App(unittest.TestCase):
    def setUp(self):
        self.site = Site()
        self.addCleanup(self.site.close)

    def page(self, watch=WATCH, url=True):
        page = Page(self.site.url if url else None, watch=watch)
        self.addCleanup(page.close)
        self.addCleanup(lambda: self.assertEqual(page.errors(), []))
        return page

    def test_installable_with_its_icons_and_asking_for_playback(self):
        # A stand-in for Safari's audio session, which Chromium does not have.
        page = self.page(WATCH + "Object.defineProperty(navigator, 'audioSession', {value: {type: 'auto'}});")
        first_frame(page)
        self.assertEqual(page.send("Page.getInstallabilityErrors")["installabilityErrors"], [])
        manifest = page.send("Page.getAppManifest")
        self.assertEqual(manifest["errors"], [])
        icons = [(i["url"], i["sizes"]) for i in manifest["manifest"]["icons"]]
        touch = page.js("(() => { const l = document.querySelector('link[rel=apple-touch-icon]'); return [l.href, l.getAttribute('sizes')]; })()")
        self.assertEqual(len(icons), 3)
        for url, sizes in icons + [touch]:
            shown = page.js(f"""new Promise(done => {{ const i = new Image(); i.onload = () => done(i.naturalWidth + 'x' + i.naturalHeight);
                               i.onerror = () => done('not loaded'); i.src = {url!r}; }})""")
            self.assertEqual(shown, sizes, url)
        self.assertEqual(page.js("navigator.audioSession.type"), "playback")

    def test_starts_without_a_network_once_visited(self):
        page = self.page()
        first_frame(page)
        kept_for_offline(page)
        self.site.close()  # the network is gone
        page.reload()
        page.wait("kelpPresents.length >= 25", "frames from the kept files", timeout=60)
        self.assertEqual(page.js("document.getElementById('status').className"), "")

    def test_a_new_build_replaces_the_old_one_whole(self):
        old = copy_site(tempfile.mkdtemp(prefix="kelp-site-"))
        new = copy_site(tempfile.mkdtemp(prefix="kelp-site-"))
        for folder in (old, new):
            self.addCleanup(shutil.rmtree, folder, True)
        with open(os.path.join(new, "kelp2207.js"), "a") as f:
            f.write("\nwindow.kelpNewBuild = true;\n")
        subprocess.run([sys.executable, "-B", os.path.join(WEB, "site.py"), BADGE, WEB, new], check=True)
        self.assertNotEqual(build_of(old), build_of(new))

        self.site.folder = old
        page = self.page()
        first_frame(page)
        kept_for_offline(page)
        self.site.folder = new
        page.reload()
        self.assertTrue(page.js("window.kelpNewBuild === true"), "the old build's script ran")
        cache = "kelp2207-" + build_of(new)
        page.wait(f"caches.keys().then(names => names.join() === {cache!r})", "the old build's cache gone", timeout=60)
        kept = {url[len(cache) + 1 + len(self.site.url):]: digest for url, digest in page.js(CACHED).items()}
        self.assertEqual(kept, site_files(new))

    def test_shows_the_download_then_the_show(self):
        page = self.page(WATCH + SAMPLES, url=False)
        page.send("Network.enable")
        page.send("Network.emulateNetworkConditions", {"offline": False, "latency": 20,
                                                       "downloadThroughput": 200_000, "uploadThroughput": -1})
        page.open(self.site.url)
        page.wait("document.getElementById('progress') && document.getElementById('progress').value > 0",
                  "some of the download")
        node = page.send("Runtime.evaluate", {"expression": "document.getElementById('progress')"})["result"]
        named = page.send("Accessibility.getPartialAXTree", {"objectId": node["objectId"], "fetchRelatives": False})
        self.assertEqual([(n["role"]["value"], n["name"]["value"]) for n in named["nodes"]],
                         [("progressbar", "Loading the show")])
        first_frame(page)
        values = page.js("kelpLoading")
        growing = [v for v in values if 0 < v < 1]
        self.assertGreaterEqual(len(set(growing)), 3, values)
        self.assertEqual(growing, sorted(growing), "the bar went back")
        self.assertFalse(page.js("!!document.getElementById('loading')"), "the bar stayed over the show")


if __name__ == "__main__":
    unittest.main()
