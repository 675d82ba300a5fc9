// Pixel-type-generic building blocks shared by the picture and grey-map modules: the one
// clipping rule of every rectangle operation and the clipped walk that applies a per-pixel rule.
#pragma once
#include <cstddef>
#include <cstdint>

namespace raster {

struct Span {
    int sx, sy, dx, dy, w, h;
};

// Clips a copy of a w x h rectangle from (sx, sy) of a source to (dx, dy) of a destination,
// first against the source, then against the destination, keeping both corners in register.
// False when nothing is left to draw. Computed in 64 bits so extreme arguments cannot overflow.
inline bool Clip(int srcWidth, int srcHeight, int dstWidth, int dstHeight, int sx0, int sy0, int dx0, int dy0,
                 int w0, int h0, Span& out) {
    int64_t sx = sx0, sy = sy0, dx = dx0, dy = dy0, w = w0, h = h0;
    if (dx >= dstWidth || dx + w < 0 || dy >= dstHeight || dy + h < 0) return false;
    if (sx >= srcWidth || sx + w < 0 || sy >= srcHeight || sy + h < 0) return false;
    if (sx < 0) { w += sx; dx -= sx; sx = 0; }
    if (sy < 0) { h += sy; dy -= sy; sy = 0; }
    if (sx + w > srcWidth) w = srcWidth - sx;
    if (sy + h > srcHeight) h = srcHeight - sy;
    if (dx < 0) { w += dx; sx -= dx; dx = 0; }
    if (dy < 0) { h += dy; sy -= dy; dy = 0; }
    if (dx + w > dstWidth) w = dstWidth - dx;
    if (dy + h > dstHeight) h = dstHeight - dy;
    if (w <= 0 || h <= 0) return false;
    out = Span{int(sx), int(sy), int(dx), int(dy), int(w), int(h)};
    return true;
}

// The clipped walk: for every pixel of the clipped rectangle, d = rule(d, s). Rows run from the
// top and pixels from the left, so a copy within one picture behaves as that order dictates.
template <typename Pixel, typename Rule>
inline void Blit(const Pixel* src, int srcWidth, int srcHeight, Pixel* dst, int dstWidth, int dstHeight, int sx,
                 int sy, int dx, int dy, int w, int h, Rule rule) {
    Span span;
    if (!Clip(srcWidth, srcHeight, dstWidth, dstHeight, sx, sy, dx, dy, w, h, span)) return;
    for (int r = 0; r < span.h; ++r) {
        const Pixel* s = src + size_t(span.sy + r) * size_t(srcWidth) + size_t(span.sx);
        Pixel* d = dst + size_t(span.dy + r) * size_t(dstWidth) + size_t(span.dx);
        for (int c = 0; c < span.w; ++c) d[c] = rule(d[c], s[c]);
    }
}

} // namespace raster
