"""Takes the page's screenshots for docs/ in headless Chromium: each of the four parts and the
ended page (docs/web-screen1.png .. docs/web-screen4.png, docs/web-ended.png), and the page on a
phone of 390 x 844 CSS pixels at three device pixels to the CSS pixel, upright and on its side
(docs/web-phone.png, docs/web-phone-landscape.png), on virtual time so they come out the same
every time. Needs the built site (`make web` or scripts/build-web).

    python3 web/shots.py [folder]
"""

import os
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))  # the tests' way of driving the page
sys.dont_write_bytecode = True

from page import Page, Site  # noqa: E402


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs")
    site = Site()
    page = Page(site.url, 760, 800)  # a viewport of about 760 x 660: the picture enlarged twice
    try:
        page.wait("window.kelpPresents && kelpPresents.length > 0", "the first frame")
        page.freeze()
        shots = [("web-screen1.png", 3000), ("web-screen2.png", 2500), ("web-screen3.png", 6000), ("web-screen4.png", 2500)]
        for number, (name, wait) in enumerate(shots):
            if number:
                page.press("space")
            page.advance(wait)
            save(page, folder, name)
        page.press("escape")
        page.advance(1000)
        page.wait("document.getElementById('status').textContent.includes('ended')", "the end")
        save(page, folder, "web-ended.png")
    finally:
        page.close()
    try:
        for name, width, height in (("web-phone.png", 390, 844), ("web-phone-landscape.png", 844, 390)):
            page = Page(site.url, width, height, ratio=3)
            try:
                page.wait("window.kelpPresents && kelpPresents.length > 0", "the first frame")
                page.freeze()
                page.advance(3000)
                save(page, folder, name)
            finally:
                page.close()
    finally:
        site.close()


def save(page, folder, name):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(page.screenshot())
    print(os.path.join(folder, name))


if __name__ == "__main__":
    main()
