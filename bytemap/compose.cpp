// Transfers between grey maps and the per-pixel operations: each transfer is the shared clipped
// walk (or wrap or spaced copy) of raster.h with its own per-pixel rule.
#include <algorithm>
#include <array>
#include <cstdint>

#include "bytemap/bytemap.h"
#include "bytemap/bytemap_internal.h"
#include "raster/raster.h"
#include "support/random.h"

using bytemap_detail::BlitWith;
using bytemap_detail::PixelCount;
using bytemap_detail::Usable;

namespace {
uint8_t Transparent(uint8_t d, uint8_t s) { return s ? s : d; }
} // namespace

void BYTEMAPBlitTransparent(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int tx, int ty, int w, int h) {
    BlitWith(src, dst, sx, sy, tx, ty, w, h, [](uint8_t d, uint8_t s) { return Transparent(d, s); });
}

void BYTEMAPBlit(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int tx, int ty, int w, int h) {
    BlitWith(src, dst, sx, sy, tx, ty, w, h, [](uint8_t, uint8_t s) { return s; });
}

void BYTEMAPBlitHalf(const BYTEMAP* src, BYTEMAP* dst, int x, int y) {
    if (!Usable(src)) {
        BYTEMAPError();
        return;
    }
    // Both halves are rounded down before the sum, so it never passes 254.
    BlitWith(src, dst, 0, 0, x, y, src->width, src->height,
             [](uint8_t d, uint8_t s) { return s ? uint8_t((s >> 1) + (d >> 1)) : d; });
}

void BYTEMAPBlitSpaced(const BYTEMAP* src, BYTEMAP* dst, int sx, int sy, int tx, int ty, int w, int h, int stepX,
                       int stepY) {
    // Steps below 1 would pile pixels up or walk backwards; they are not a spacing.
    if (!Usable(src) || !Usable(dst) || stepX < 1 || stepY < 1) {
        BYTEMAPError();
        return;
    }
    raster::Spaced(src->data, src->width, src->height, dst->data, dst->width, dst->height, sx, sy, tx, ty, w, h, stepX,
                   stepY);
}

namespace {
template <typename Rule>
void RowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int offset, Rule rule) {
    // A target without columns has nowhere to wrap to.
    if (!Usable(src) || !Usable(dst) || srcRow < 0 || srcRow >= src->height || dstRow < 0 || dstRow >= dst->height ||
        dst->width <= 0) {
        BYTEMAPError();
        return;
    }
    raster::WrapLine(src->data + size_t(srcRow) * size_t(src->width), 1, src->width,
                     dst->data + size_t(dstRow) * size_t(dst->width), 1, dst->width, offset, rule);
}
} // namespace

void BYTEMAPCopyRowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int offset) {
    RowWrap(src, dst, srcRow, dstRow, offset, Transparent);
}

void BYTEMAPOrRowWrap(const BYTEMAP* src, BYTEMAP* dst, int srcRow, int dstRow, int offset) {
    RowWrap(src, dst, srcRow, dstRow, offset, [](uint8_t d, uint8_t s) { return uint8_t(d | s); });
}

void BYTEMAPCopyColumnWrap(const BYTEMAP* src, BYTEMAP* dst, int srcColumn, int dstColumn, int offset) {
    if (!Usable(src) || !Usable(dst) || srcColumn < 0 || srcColumn >= src->width || dstColumn < 0 ||
        dstColumn >= dst->width || dst->height <= 0) {
        BYTEMAPError();
        return;
    }
    raster::WrapLine(src->data + srcColumn, src->width, src->height, dst->data + dstColumn, dst->width, dst->height,
                     offset, Transparent);
}

void BYTEMAPAnd(const BYTEMAP* mask, BYTEMAP* map) {
    if (!Usable(mask) || !Usable(map) || mask->width != map->width || mask->height != map->height) {
        BYTEMAPError();
        return;
    }
    const size_t n = PixelCount(map);
    for (size_t i = 0; i < n; ++i) map->data[i] &= mask->data[i];
}

void BYTEMAPAdd(BYTEMAP* map, int amount) {
    if (!Usable(map)) {
        BYTEMAPError();
        return;
    }
    const uint8_t a = uint8_t(amount);
    const size_t n = PixelCount(map);
    for (size_t i = 0; i < n; ++i) map->data[i] = uint8_t(map->data[i] + a);
}

void BYTEMAPFade(BYTEMAP* map, int amount) {
    if (!Usable(map)) {
        BYTEMAPError();
        return;
    }
    // The picture fade's saturating subtraction, with a whole byte as the one channel.
    raster::MapChannels<raster::SubSaturate<uint8_t, 0xFF>>(map->data, PixelCount(map), uint8_t(amount));
}

void BYTEMAPInvert(BYTEMAP* map) {
    if (!Usable(map)) {
        BYTEMAPError();
        return;
    }
    const size_t n = PixelCount(map);
    for (size_t i = 0; i < n; ++i) map->data[i] = uint8_t(255 - map->data[i]);
}

void BYTEMAPReplace(BYTEMAP* map, int old, int replacement) {
    if (!Usable(map)) {
        BYTEMAPError();
        return;
    }
    const uint8_t from = uint8_t(old), to = uint8_t(replacement);
    const size_t n = PixelCount(map);
    for (size_t i = 0; i < n; ++i) map->data[i] = map->data[i] == from ? to : map->data[i];
}

void BYTEMAPLookup(BYTEMAP* map, const BYTEMAP* table) {
    if (!Usable(map) || !Usable(table) || PixelCount(table) < 256) {
        BYTEMAPError();
        return;
    }
    // Taken first, so a map looked up through itself reads the table as it was.
    std::array<uint8_t, 256> lookup;
    std::copy_n(table->data, 256, lookup.begin());
    const size_t n = PixelCount(map);
    for (size_t i = 0; i < n; ++i) map->data[i] = lookup[map->data[i]];
}

void BYTEMAPNoise(BYTEMAP* map, int base, int mask) {
    if (!Usable(map)) {
        BYTEMAPError();
        return;
    }
    // One draw a pixel from the last to the first, the order the shared generator is read in.
    for (size_t i = PixelCount(map); i-- > 0;)
        map->data[i] = uint8_t(uint32_t(base) + uint32_t(RANDNext() & mask));
}
