"""The Python tests' one reader of binary PPM pictures: the show's own (data/*.ppm) and the
frames the recorder writes, for the whole-program tests and the page's alike."""


def read_ppm(data):
    """(width, height, the RGB triples row by row) of a P6 picture of 8-bit samples; comments
    may stand between the header's fields."""
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":
            at = data.index(b"\n", at) + 1
            continue
        start = at
        while data[at:at + 1] and not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError(f"not a P6 picture of 8-bit samples: {b' '.join(fields)!r}")
    width, height = int(fields[1]), int(fields[2])
    rgb = bytes(data[at + 1:at + 1 + 3 * width * height])
    if len(rgb) != 3 * width * height:
        raise ValueError(f"a {width} x {height} picture cut short")
    return width, height, rgb


def read_ppm_file(path):
    with open(path, "rb") as f:
        return read_ppm(f.read())
