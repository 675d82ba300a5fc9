// The grey-map record, its copies and comparison, pixel access, lines and shapes.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "bytemap/bytemap.h"
#include "bytemap/bytemap_internal.h"
#include "raster/raster.h"
#include "support/identity.h"

using bytemap_detail::PixelCount;
using bytemap_detail::Usable;

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("BYTEMAP", "20110524", "OrvilleK", "C++", "CODE");
unsigned char debug = 0;


bool Inside(const BYTEMAP* map, int64_t x, int64_t y) { return x >= 0 && y >= 0 && x < map->width && y < map->height; }

uint8_t& At(BYTEMAP* map, int64_t x, int64_t y) { return map->data[y * map->width + x]; }
} // namespace

void BYTEMAPError() {
    if (debug) std::printf("BYTEMAP error\n");
}

BYTEMAP* BYTEMAPNew() {
    auto* map = static_cast<BYTEMAP*>(std::calloc(1, sizeof(BYTEMAP)));
    if (!map) {
        BYTEMAPError();
        return nullptr;
    }
    map->data = raster::AllocatePixels<uint8_t>(16, 16);
    if (!map->data) {
        std::free(map);
        BYTEMAPError();
        return nullptr;
    }
    map->width = 16;
    map->height = 16;
    return map;
}

void BYTEMAPFree(BYTEMAP** map) {
    if (!map || !*map) {
        BYTEMAPError();
        return;
    }
    std::free((*map)->data);
    std::free(*map);
    *map = nullptr;
}

void BYTEMAPSetSize(BYTEMAP* map, int width, int height) {
    if (!map) {
        BYTEMAPError();
        return;
    }
    // Allocate before letting go of the old store: a size that cannot be held is refused and
    // the map stays as it was, never left with a size its store does not have.
    uint8_t* data = raster::AllocatePixels<uint8_t>(width, height);
    if (!data) {
        BYTEMAPError();
        return;
    }
    std::free(map->data);
    map->data = data;
    map->width = width;
    map->height = height;
}

BYTEMAP* bytemap_detail::NewSized(int width, int height) {
    BYTEMAP* map = BYTEMAPNew();
    if (!map) return nullptr;
    BYTEMAPSetSize(map, width, height);
    if (map->width != width || map->height != height) BYTEMAPFree(&map);
    return map;
}

void BYTEMAPClear(BYTEMAP* map) {
    if (!Usable(map)) {
        BYTEMAPError();
        return;
    }
    std::memset(map->data, 0, PixelCount(map));
}

int BYTEMAPEqual(const BYTEMAP* a, const BYTEMAP* b) {
    if (!Usable(a) || !Usable(b)) {
        BYTEMAPError();
        return 0;
    }
    if (a->width != b->width || a->height != b->height) return 0;
    return std::memcmp(a->data, b->data, PixelCount(a)) == 0;
}

BYTEMAP* BYTEMAPCopy(const BYTEMAP* map) {
    if (!Usable(map)) {
        BYTEMAPError();
        return nullptr;
    }
    BYTEMAP* copy = bytemap_detail::NewSized(map->width, map->height);
    if (!copy) return nullptr;
    std::memcpy(copy->data, map->data, PixelCount(map));
    return copy;
}

void BYTEMAPCopyPixels(const BYTEMAP* src, BYTEMAP* dst) {
    if (!Usable(src) || !Usable(dst) || src->width != dst->width || src->height != dst->height) {
        BYTEMAPError();
        return;
    }
    std::memmove(dst->data, src->data, PixelCount(src));
}

int BYTEMAPGetPixel(const BYTEMAP* map, int x, int y) {
    if (!Usable(map)) {
        BYTEMAPError();
        return 0;
    }
    if (x < 0 || y < 0 || x >= map->width || y >= map->height) return 0;
    return map->data[size_t(y) * size_t(map->width) + size_t(x)];
}

void BYTEMAPSetPixel(BYTEMAP* map, int x, int y, int v) {
    if (!Usable(map)) {
        BYTEMAPError();
        return;
    }
    if (Inside(map, x, y)) At(map, x, y) = uint8_t(v);
}

void BYTEMAPHLine(BYTEMAP* map, int x, int y, int length, int v) {
    const int64_t end = int64_t(x) + length; // the last column, drawn too
    if (!Usable(map) || y < 0 || y >= map->height || end < 0 || x >= map->width) {
        BYTEMAPError();
        return;
    }
    const int64_t from = std::max<int64_t>(x, 0), to = std::min<int64_t>(end, map->width - 1);
    if (from <= to) std::fill(&At(map, from, y), &At(map, to, y) + 1, uint8_t(v));
}

void BYTEMAPVLine(BYTEMAP* map, int x, int y, int length, int v) {
    const int64_t end = int64_t(y) + length;
    if (!Usable(map) || x < 0 || x >= map->width || end < 0 || y >= map->height) {
        BYTEMAPError();
        return;
    }
    const int64_t to = std::min<int64_t>(end, map->height - 1);
    for (int64_t row = std::max<int64_t>(y, 0); row <= to; ++row) At(map, x, row) = uint8_t(v);
}

void BYTEMAPLine(BYTEMAP* map, int x0, int y0, int x1, int y1, int v) {
    if (!Usable(map)) {
        BYTEMAPError();
        return;
    }
    if (x1 < x0) {
        std::swap(x0, x1);
        std::swap(y0, y1);
    }
    if (x1 < 0 || x0 >= map->width || (y0 < 0 && y1 < 0) || (y0 >= map->height && y1 >= map->height)) {
        BYTEMAPError();
        return;
    }
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0, ady = dy < 0 ? -dy : dy, sy = dy < 0 ? -1 : 1;
    if (dx == 0 && dy == 0) {
        BYTEMAPSetPixel(map, x0, y0, v);
        return;
    }
    const uint8_t value = uint8_t(v);
    // 16.16 fixed point through the centre of each pixel. The position is floored (an
    // arithmetic shift), so a line that enters from above or from the left keeps its slope
    // instead of folding row or column -1 onto 0. Only the steps that land inside the map are
    // walked, so far-away end points cost nothing.
    if (dx >= ady) {
        const int64_t step = sy * ((ady << 16) / dx), start = (int64_t(y0) << 16) + 32768;
        const int64_t to = std::min<int64_t>(x1, map->width);
        for (int64_t x = std::max<int64_t>(x0, 0); x < to; ++x) {
            const int64_t y = (start + (x - x0) * step) >> 16;
            if (y >= 0 && y < map->height) At(map, x, y) = value;
        }
    } else {
        const int64_t step = (dx << 16) / ady, start = (int64_t(x0) << 16) + 32768;
        // Steps k = 0 .. ady - 1 visit rows y0 + k * sy; keep those inside the map.
        const int64_t first = sy > 0 ? std::max<int64_t>(0, -int64_t(y0)) : std::max<int64_t>(0, y0 - int64_t(map->height) + 1);
        const int64_t last = sy > 0 ? std::min<int64_t>(ady, map->height - int64_t(y0)) : std::min<int64_t>(ady, int64_t(y0) + 1);
        for (int64_t k = first; k < last; ++k) {
            const int64_t x = (start + k * step) >> 16;
            if (x >= 0 && x < map->width) At(map, x, y0 + k * sy) = value;
        }
    }
}

void BYTEMAPFillRect(BYTEMAP* map, int x, int y, int w, int h, int v) {
    // The fill never clips: anything not wholly inside is refused whole.
    if (!Usable(map) || !raster::Inside(map->width, map->height, x, y, w, h)) {
        BYTEMAPError();
        return;
    }
    raster::FillRect(map->data, map->width, x, y, w, h, uint8_t(v));
}

void BYTEMAPFillRectClipped(BYTEMAP* map, int x, int y, int w, int h, int v) {
    if (!Usable(map)) {
        BYTEMAPError();
        return;
    }
    // A negative extent reaches back from the corner: columns x + w .. x - 1.
    int64_t left = x, right = int64_t(x) + w, top = y, bottom = int64_t(y) + h;
    if (w < 0) std::swap(left, right);
    if (h < 0) std::swap(top, bottom);
    left = std::max<int64_t>(left, 0);
    top = std::max<int64_t>(top, 0);
    right = std::min<int64_t>(right, map->width);
    bottom = std::min<int64_t>(bottom, map->height);
    if (left >= right || top >= bottom) return;
    raster::FillRect(map->data, map->width, int(left), int(top), int(right - left), int(bottom - top), uint8_t(v));
}

void BYTEMAPDrawRect(BYTEMAP* map, int x, int y, int w, int h, int v) {
    if (!Usable(map) || !raster::Inside(map->width, map->height, x, y, w, h)) {
        BYTEMAPError();
        return;
    }
    raster::DrawRect(map->data, map->width, x, y, w, h, uint8_t(v));
}

void BYTEMAPDrawCircle(BYTEMAP* map, int cx, int cy, int r, int v) {
    // Only the centre has to lie inside; points of the outline outside are dropped.
    if (!Usable(map) || !Inside(map, cx, cy) || r <= 0) {
        BYTEMAPError();
        return;
    }
    raster::Circle(cx, cy, r, [map, v](int64_t x, int64_t y) {
        if (Inside(map, x, y)) At(map, x, y) = uint8_t(v);
    });
}
