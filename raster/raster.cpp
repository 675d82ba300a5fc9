// The run tables and line points of raster.h: plain integer walks that need no pixel type.
#include <climits>
#include <cstdint>
#include <cstdlib>

#include "raster/raster.h"

namespace raster {
namespace {
int64_t Abs(int v) { return v < 0 ? -int64_t(v) : int64_t(v); }
} // namespace

int* Spread(int a, int b) {
    const int64_t large = std::max(Abs(a), Abs(b)), small = std::min(Abs(a), Abs(b));
    if (large >= INT_MAX) return nullptr;
    auto* table = static_cast<int*>(std::calloc(size_t(small) + 1, sizeof(int)));
    if (!table) return nullptr;
    if (small == 0) {
        table[0] = int(large + 1);
        return table;
    }
    int64_t error = large, left = large + 1;
    size_t run = 0;
    if (large <= 16 * small) {
        // Short runs: the step-by-step rule itself (add one to the current run, take `small`
        // off the error, start the next run when it reaches 0).
        for (; left > 0; --left) {
            ++table[run];
            error -= small;
            if (error <= 0) {
                error += large;
                ++run;
            }
        }
        return table;
    }
    // Long runs: the same rule a run at a time, so a long table costs no more than a short one.
    while (left > 0) {
        const int64_t steps = std::min((error + small - 1) / small, left);
        table[run] += int(steps);
        left -= steps;
        error -= steps * small;
        if (error <= 0) {
            error += large;
            ++run;
        }
    }
    return table;
}

int* SpreadEnds(int a, int b) {
    const int64_t large = std::max(Abs(a), Abs(b)), small = std::min(Abs(a), Abs(b));
    if (large > INT_MAX) return nullptr;
    auto* table = static_cast<int*>(std::calloc(small ? size_t(small) : 1, sizeof(int)));
    if (!table) return nullptr;
    int64_t error = large;
    for (int64_t lo = 0, hi = small - 1; lo <= hi; ++lo, --hi) {
        const int64_t steps = (error + small - 1) / small;
        table[lo] = int(steps);
        table[hi] = int(steps);
        error += large - steps * small;
    }
    return table;
}

int* LinePoints(int x0, int y0, int x1, int y1) {
    const int64_t dx = int64_t(x1) - x0, dy = int64_t(y1) - y0;
    const int64_t stepX = dx < 0 ? -1 : 1, stepY = dy < 0 ? -1 : 1;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool wide = adx > ady;
    const int64_t major = wide ? adx : ady, minor = wide ? ady : adx;
    const int64_t count = 2 * major + 2;
    size_t bytes = 0;
    if (count > INT_MAX || !sizes::Bytes(count + 1, sizeof(int), bytes)) return nullptr;
    auto* points = static_cast<int*>(std::malloc(bytes));
    if (!points) return nullptr;
    points[0] = int(count);
    int64_t x = x0, y = y0, error = major >> 1;
    int* out = points + 1;
    for (int64_t i = 0; i <= major; ++i) {
        *out++ = int(x);
        *out++ = int(y);
        if (wide) x += stepX; else y += stepY;
        // A zero minor distance never steps, or a one-pixel line would end beside its end point.
        if (minor == 0) continue;
        error -= minor;
        if (error <= 0) {
            error += major;
            if (wide) y += stepY; else x += stepX;
        }
    }
    return points;
}

} // namespace raster
