"""Makes what the site holds beside the program: the app's icons from the show's badge, its
manifest, and the page and service worker stamped with the build, a hash of everything the site
serves, which names the service worker's cache and every file the page asks for.

    python3 web/site.py BADGE.ppm SOURCE_FOLDER SITE_FOLDER

SITE_FOLDER already holds kelp2207.js and kelp2207.wasm; SOURCE_FOLDER is web/.
"""

import hashlib
import os
import struct
import sys
import zlib

# name, size, the badge's enlargement, whether on black (opaque) or with black as transparency.
# The maskable icon keeps the badge inside the circle of 80 % that every mask leaves whole;
# Safari's touch icon is opaque, with a margin like the icons beside it on a home screen.
ICONS = [("icon-192.png", 192, 3, False), ("icon-512.png", 512, 8, False),
         ("icon-maskable.png", 512, 6, True), ("apple-touch-icon.png", 180, 2, True)]

# Stamped with the build, in this order of the page's files.
STAMPED = ["index.html", "sw.js"]


def read_badge(path):
    """The rows of (r, g, b) of a binary P6 picture of 8-bit samples, as data/ holds them."""
    with open(path, "rb") as f:
        data = f.read()
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at)
            continue
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError(f"{path}: not a P6 picture of 8-bit samples")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:at + 1 + 3 * width * height]
    return [[tuple(pixels[3 * (y * width + x):3 * (y * width + x) + 3]) for x in range(width)] for y in range(height)]


def png(rows, alpha):
    """An 8-bit RGB or RGBA PNG. Each row is filtered against the one above, which makes the
    repeated rows of an enlarged picture compress to almost nothing."""
    width, height = len(rows[0]), len(rows)
    raw, previous = bytearray(), bytes(width * (4 if alpha else 3))
    for row in rows:
        line = bytes(v for p in row for v in ((*p, 255 if any(p) else 0) if alpha else p))
        raw.append(2)
        raw += bytes((a - b) & 255 for a, b in zip(line, previous))
        previous = line

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def icon(badge, size, factor, opaque):
    """The badge enlarged `factor` times by whole pixels, centred in a square of `size`."""
    edge = len(badge) * factor
    margin = (size - edge) // 2
    rows = []
    for y in range(size):
        by = (y - margin) // factor
        row = []
        for x in range(size):
            bx = (x - margin) // factor
            inside = 0 <= by < len(badge) and 0 <= bx < len(badge[0])
            row.append(badge[by][bx] if inside else (0, 0, 0))
        rows.append(row)
    return png(rows, alpha=not opaque)


def build_id(site, sources):
    """A short hash of every file the site serves, but the stamped ones, and of their sources."""
    digest = hashlib.sha256()
    names = sorted(n for n in os.listdir(site) if n not in STAMPED and os.path.isfile(os.path.join(site, n)))
    for folder, name in [(site, n) for n in names] + [(sources, n) for n in STAMPED]:
        with open(os.path.join(folder, name), "rb") as f:
            digest.update(name.encode() + b"\0" + hashlib.sha256(f.read()).digest())
    return digest.hexdigest()[:16]


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: site.py BADGE.ppm SOURCE_FOLDER SITE_FOLDER")
    badge_path, sources, site = sys.argv[1:]
    badge = read_badge(badge_path)
    for name, size, factor, opaque in ICONS:
        write(os.path.join(site, name), icon(badge, size, factor, opaque))
    with open(os.path.join(sources, "manifest.webmanifest"), "rb") as f:
        write(os.path.join(site, "manifest.webmanifest"), f.read())
    build = build_id(site, sources)
    values = {"@BUILD@": build, "@WASM_BYTES@": str(os.path.getsize(os.path.join(site, "kelp2207.wasm")))}
    for name in STAMPED:
        with open(os.path.join(sources, name), encoding="utf-8") as f:
            text = f.read()
        for key, value in values.items():
            text = text.replace(key, value)
        write(os.path.join(site, name), text.encode())


def write(path, data):
    """Whole or not at all: a server may be serving the folder meanwhile."""
    with open(path + ".part", "wb") as f:
        f.write(data)
    os.replace(path + ".part", path)


if __name__ == "__main__":
    main()
