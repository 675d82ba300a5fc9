// Scaling, rotation, run tables and line points (the grey-map instantiations of raster.h), and
// colouring through a palette.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "bytemap/bytemap.h"
#include "bytemap/bytemap_internal.h"
#include "raster/raster.h"

using bytemap_detail::PixelCount;
using bytemap_detail::Usable;

int* BYTEMAPSpread(int a, int b) { return raster::Spread(a, b); }

int* BYTEMAPLinePoints(int x0, int y0, int x1, int y1) { return raster::LinePoints(x0, y0, x1, y1); }

void BYTEMAPScale(const BYTEMAP* src, BYTEMAP* dst) {
    if (!Usable(src) || !Usable(dst) || dst->width < 0 || dst->height < 0 ||
        !raster::ScaleWhole(src->data, src->width, src->height, dst->data, dst->width, dst->height))
        BYTEMAPError();
}

BYTEMAP* BYTEMAPRotate(const BYTEMAP* src, int angle) {
    if (!Usable(src)) {
        BYTEMAPError();
        return nullptr;
    }
    // 92667 / 65536 is just under the square root of 2: room for the corners at any angle.
    const int64_t width = (int64_t(src->width) * 92667) >> 16, height = (int64_t(src->height) * 92667) >> 16;
    BYTEMAP* result = width <= INT_MAX && height <= INT_MAX ? bytemap_detail::NewSized(int(width), int(height)) : nullptr;
    if (!result) {
        BYTEMAPError();
        return nullptr;
    }
    raster::Rotate(src->data, src->width, src->height, result->data, result->width, result->height, angle);
    return result;
}

void BYTEMAPToIMG(const BYTEMAP* map, IMG* img, const SAMPLE* palette) {
    if (!Usable(map) || !img || !img->pixels || !palette || !palette->items || palette->length < 256 ||
        map->width != img->width || map->height != img->height) {
        BYTEMAPError();
        return;
    }
    // The three never overlap; saying so lets the loads run ahead of the stores.
    const int32_t* __restrict colours = palette->items;
    const uint8_t* __restrict from = map->data;
    uint32_t* __restrict to = img->pixels;
    const size_t n = PixelCount(map);
    for (size_t i = 0; i < n; ++i) to[i] = uint32_t(colours[from[i]]);
}
