// Scaling, rotation, run tables and line points: the IMG instantiations of raster.h.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "img/img.h"
#include "img/img_internal.h"
#include "raster/raster.h"

int* IMGSpread(int a, int b) { return raster::Spread(a, b); }

int* IMGSpreadEnds(int a, int b) { return raster::SpreadEnds(a, b); }

int* IMGLinePoints(int x0, int y0, int x1, int y1) { return raster::LinePoints(x0, y0, x1, y1); }

void IMGScale(const IMG* src, IMG* dst) {
    if (!src || !dst || dst->width < 0 || dst->height < 0) {
        IMGError();
        return;
    }
    if (!src->pixels || !dst->pixels) return;
    if (!raster::ScaleWhole(src->pixels, src->width, src->height, dst->pixels, dst->width, dst->height)) IMGError();
}

IMG* IMGRotate(const IMG* src, int angle) {
    if (!src) {
        IMGError();
        return nullptr;
    }
    // 92667 / 65536 is just under the square root of 2: room for the corners at any angle.
    const int64_t width = (int64_t(src->width) * 92667) >> 16, height = (int64_t(src->height) * 92667) >> 16;
    IMG* result = width <= INT_MAX && height <= INT_MAX ? img_detail::NewSized(int(width), int(height)) : nullptr;
    if (!result) return nullptr;
    raster::Rotate(src->pixels, src->width, src->height, result->pixels, result->width, result->height, angle);
    return result;
}
