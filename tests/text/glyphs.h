// Test fonts whose every pixel tells which glyph cell and which pixel of it it came from, so a
// drawn picture can be read back as the codes that were put down.
#pragma once
#include <cstdint>
#include <string>

#include "img/img.h"

namespace glyphs {

// The colour the test targets are filled with, so drawing shows against it.
constexpr uint32_t kBackground = 0x203040;

// No pixel of this encoding is 0, so transparent and solid drawing put down the same pixels.
inline uint32_t Encode(int code, int lx, int ly) { return uint32_t((code + 1) << 12 | ly << 6 | lx); }

// A font picture of width x height holding cells of cw x ch laid out as the font reads them.
inline IMG* Source(int width, int height, int cw, int ch) {
    IMG* img = IMGNew();
    IMGSetSize(img, width, height);
    const int perRow = width / cw;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            IMGSetPixel(img, x, y, Encode((y / ch) * perRow + x / cw, x % cw, y % ch));
    return img;
}

inline IMG* Picture(int width, int height, uint32_t colour) {
    IMG* img = IMGNew();
    IMGSetSize(img, width, height);
    IMGFillRect(img, 0, 0, width, height, colour);
    return img;
}

// The code whose cell's top-left pixel lies at (x, y), or -1 when none does.
inline int CodeAt(const IMG* img, int x, int y) {
    const uint32_t p = IMGGetPixel(img, x, y);
    if ((p & 0xFFF) != 0 || p < 0x1000) return -1;
    return int(p >> 12) - 1;
}

// The characters whose glyphs start every `step` pixels along row y from x; '.' for none.
inline std::string Read(const IMG* img, int x, int y, int step, int count) {
    std::string codes;
    for (int i = 0; i < count; ++i) {
        const int code = CodeAt(img, x + i * step, y);
        codes += code < 0 ? '.' : char(code);
    }
    return codes;
}

} // namespace glyphs
