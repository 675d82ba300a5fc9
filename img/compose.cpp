// Rectangle compositing and the other per-pixel operations between two pictures: each is the
// shared clipped walk (or wrap, spaced or row copy) of raster.h with its own per-pixel rule.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "img/img.h"
#include "img/img_internal.h"
#include "raster/raster.h"

using img_detail::BlitWith;

namespace {
bool Usable(const IMG* img) { return img && img->pixels; }
} // namespace

void IMGBlit(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
    BlitWith(src, dst, sx, sy, dx, dy, w, h, [](uint32_t, uint32_t s) { return s; });
}

void IMGBlitAdd(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
    // Whole-word addition: a channel past 255 carries into the next one up.
    BlitWith(src, dst, sx, sy, dx, dy, w, h, [](uint32_t d, uint32_t s) { return d + s; });
}

void IMGBlitAddSat(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
    BlitWith(src, dst, sx, sy, dx, dy, w, h, img_detail::AddSat{});
}

void IMGBlitSubSat(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h) {
    BlitWith(src, dst, sx, sy, dx, dy, w, h, img_detail::SubSat{});
}

void IMGBlitHalf(const IMG* src, IMG* dst, int x, int y) {
    if (!src || !dst) {
        IMGError();
        return;
    }
    // Both halves lose their low bit before the sum, so no channel carries into the next.
    BlitWith(src, dst, 0, 0, x, y, src->width, src->height, [](uint32_t d, uint32_t s) {
        return s ? ((s >> 1) & 0x7F7F7Fu) + ((d >> 1) & 0x7F7F7Fu) : d;
    });
}

void IMGBlitSpaced(const IMG* src, IMG* dst, int sx, int sy, int dx, int dy, int w, int h, int stepX, int stepY) {
    // Steps below 1 would pile pixels up or walk backwards; they are not a spacing.
    if (!Usable(src) || !Usable(dst) || stepX < 1 || stepY < 1) {
        IMGError();
        return;
    }
    raster::Spaced(src->pixels, src->width, src->height, dst->pixels, dst->width, dst->height, sx, sy, dx, dy, w, h,
                   stepX, stepY);
}

namespace {
template <typename Rule>
void RowWrap(const IMG* src, IMG* dst, int srcRow, int dstRow, int dstColumn, Rule rule) {
    if (!Usable(src) || !Usable(dst) || srcRow < 0 || srcRow >= src->height || dstRow < 0 ||
        dstRow >= dst->height || dst->width <= 0) {
        IMGError();
        return;
    }
    raster::WrapLine(src->pixels + size_t(srcRow) * size_t(src->width), 1, src->width,
                     dst->pixels + size_t(dstRow) * size_t(dst->width), 1, dst->width, dstColumn, rule);
}
} // namespace

void IMGCopyRowWrap(const IMG* src, IMG* dst, int srcRow, int dstRow, int dstColumn) {
    RowWrap(src, dst, srcRow, dstRow, dstColumn, [](uint32_t d, uint32_t s) { return s ? s : d; });
}

void IMGOrRowWrap(const IMG* src, IMG* dst, int srcRow, int dstRow, int dstColumn) {
    RowWrap(src, dst, srcRow, dstRow, dstColumn, [](uint32_t d, uint32_t s) { return d | s; });
}

void IMGCopyColumnWrap(const IMG* src, IMG* dst, int srcColumn, int dstColumn, int dstRow) {
    if (!Usable(src) || !Usable(dst) || srcColumn < 0 || srcColumn >= src->width || dstColumn < 0 ||
        dstColumn >= dst->width || dst->height <= 0) {
        IMGError();
        return;
    }
    raster::WrapLine(src->pixels + srcColumn, src->width, src->height, dst->pixels + dstColumn, dst->width,
                     dst->height, dstRow, [](uint32_t d, uint32_t s) { return s ? s : d; });
}

void IMGCopyRow(const IMG* src, IMG* dst, int srcRow, int dstRow) {
    if (!Usable(src) || !Usable(dst) || srcRow < 0 || srcRow >= src->height || dstRow < 0 ||
        dstRow >= dst->height) {
        IMGError();
        return;
    }
    const uint32_t* from = src->pixels + size_t(srcRow) * size_t(src->width);
    uint32_t* to = dst->pixels + size_t(dstRow) * size_t(dst->width);
    // A picture may copy a row onto itself; memmove keeps that well defined.
    std::memmove(to, from, size_t(std::min(src->width, dst->width)) * sizeof(uint32_t));
}

void IMGAnd(const IMG* src, IMG* dst) {
    if (!Usable(src) || !Usable(dst)) {
        IMGError();
        return;
    }
    // The pictures are meant to match; a smaller destination takes only the words it has.
    const size_t n = std::min(img_detail::PixelCount(src), img_detail::PixelCount(dst));
    for (size_t i = 0; i < n; ++i) dst->pixels[i] &= src->pixels[i];
}

void IMGInvert(IMG* img) {
    if (!Usable(img)) {
        IMGError();
        return;
    }
    const size_t n = img_detail::PixelCount(img);
    for (size_t i = 0; i < n; ++i) img->pixels[i] = ~img->pixels[i] & img_detail::kChannels;
}

void IMGDrawRect(IMG* img, int x, int y, int w, int h, uint32_t colour) {
    if (!Usable(img) || !raster::Inside(img->width, img->height, x, y, w, h)) {
        IMGError();
        return;
    }
    raster::DrawRect(img->pixels, img->width, x, y, w, h, colour);
}

void IMGDrawCircle(IMG* img, int cx, int cy, int r, uint32_t colour) {
    // Only the centre has to lie inside; points of the outline outside are dropped.
    if (!Usable(img) || cx < 0 || cy < 0 || cx >= img->width || cy >= img->height || r <= 0) {
        IMGError();
        return;
    }
    raster::Circle(cx, cy, r, [img, colour](int64_t x, int64_t y) {
        if (x >= 0 && y >= 0 && x < img->width && y < img->height) img->pixels[y * img->width + x] = colour;
    });
}
