#include "driver/part_bursts.h"

#include <cstdlib>

#include "driver/part.h"

namespace {
BURSTSPART state;

void Setup() {
    IMGFillRect(demo.back, 0, 0, kScreenWidth, kScreenHeight, 0xFFFFFF);
    state.radius = 0x8000;
    state.radius += (RANDNext() & 1) ? (RANDNext() & 0xFFF) : -(RANDNext() & 0xFFF);
    state.step = 0x10000;
    state.step += (RANDNext() & 1) ? (RANDNext() & 0xFF) : -(RANDNext() & 0xFF);
    state.stars = (RANDNext() & 3) + 1;
}

void Frame() {
    DemoBurst(state.stars);
    IMG* corner = demo.corner;
    IMGBlitTransparent(corner, demo.back, 0, 0, kScreenWidth - corner->width, kScreenHeight - corner->height,
                       corner->width, corner->height);
}
} // namespace

extern constinit const DEMOPART kBurstsPart{"bursts", Setup, Frame};

void DemoPartBursts() { DemoRunPart(kBurstsPart); }
BURSTSPART& DemoBurstsState() { return state; }

void DemoBurst(int n) {
    const int cx = RANDNext() % kScreenWidth;
    const int cy = RANDNext() % kScreenHeight;
    int radius = RANDNext() % 128;
    int step = (RANDNext() & 7) + 4;
    uint32_t colour = DemoLightColour();
    while (n > 0) {
        DemoRays(cx, cy, radius, step, colour);
        radius = (radius * state.radius) >> 16;
        if (radius <= 0) break;
        step = (step * state.step) >> 16;
        if (step <= 0) break;
        colour = DemoLightColour();
        --n;
    }
}

void DemoRays(int cx, int cy, int radius, int step, uint32_t colour) {
    if (step <= 0) return; // a star needs a positive angular step to end
    for (int a = 0; a < SINELength; a += step) {
        const int dx = (SINEAt(a) * radius) >> 15;
        const int dy = (SINEAt(a + SINEQuarter) * radius) >> 15;
        DemoLine(cx, cy, cx + dx, cy + dy, colour);
    }
}

void DemoLine(int x0, int y0, int x1, int y1, uint32_t colour) {
    int* points = IMGLinePoints(x0, y0, x1, y1);
    if (!points) return;
    for (int i = points[0] - 1; i > 0; i -= 2) IMGSetPixel(demo.back, points[i], points[i + 1], colour);
    std::free(points);
}
