#include "driver/part_rects.h"

#include <algorithm>

#include "driver/part.h"

namespace {
constexpr int W = kScreenWidth;
constexpr int H = kScreenHeight;

RECTSPART state;

void Setup() {
    IMGClear(demo.back);
    state.colour = DemoLightColour();
}

void Frame() {
    DemoRects();
    IMG* corner = demo.corner;
    IMGBlitTransparent(corner, demo.back, 0, 0, W - corner->width, 0, corner->width, corner->height);
}
} // namespace

extern constinit const DEMOPART kRectsPart{"rects", Setup, Frame};

void DemoPartRects() { DemoRunPart(kRectsPart); }
RECTSPART& DemoRectsState() { return state; }

void DemoRects() {
    constexpr int32_t kStep = 0x18000; // 1.5 per rectangle, in 16.16
    struct Rect {
        int x, y, w, h;
        uint32_t colour;
    };
    Rect rects[W / 2];
    int count = 0;
    const uint32_t c = state.colour;
    int32_t r = int32_t((c >> 16) & 0xFF) << 16;
    int32_t g = int32_t((c >> 8) & 0xFF) << 16;
    int32_t b = int32_t(c & 0xFF) << 16;
    int x = 0, y = 0, width = W, height = H;
    for (int i = 0; i < W / 2; ++i) {
        // Once a rectangle has collapsed, every later one of the frame has too.
        if (width <= 0 || height <= 0) break;
        const uint32_t colour = uint32_t(r & 0xFF0000) | (uint32_t(g & 0xFF0000) >> 8) | (uint32_t(b & 0xFF0000) >> 16);
        rects[count++] = Rect{x, y, width, height, colour};
        const int px = x, py = y, pw = width, ph = height;
        width = W - 2 * i;
        height = H - 2 * i;
        const int sx = SINEAt(DemoTurn(7, i)) + SINEAt(DemoTurn(3, i)) + SINEAt(DemoTurn(1, i));
        const int sy = SINEAt(DemoTurn(5, i)) + SINEAt(DemoTurn(2, i)) + SINEAt(DemoTurn(1, i));
        x = i + ((sx * i) >> 16);
        y = i + ((sy * i) >> 18);
        // Keep the new rectangle inside the one just drawn.
        x = std::max(x, px);
        y = std::max(y, py);
        if (x + width > px + pw) width = px + pw - x;
        if (y + height > py + ph) height = py + ph - y;
        r = std::clamp(r - kStep, 0, 0xFF0000);
        g = std::clamp(g - kStep, 0, 0xFF0000);
        b = std::clamp(b - kStep, 0, 0xFF0000);
    }

    // Filling all 128 rectangles one over the other writes some 2.8 million pixels. They are
    // nested, so each pixel ends with the colour of the innermost one holding it: paint every
    // row once, each rectangle only where the next one does not cover it.
    IMG* back = demo.back;
    if (!back || !back->pixels || back->width != W || back->height != H) return;
    for (int row = 0; row < H; ++row) {
        int deepest = -1;
        while (deepest + 1 < count && row >= rects[deepest + 1].y && row < rects[deepest + 1].y + rects[deepest + 1].h) {
            ++deepest;
        }
        if (deepest < 0) continue;
        uint32_t* line = back->pixels + size_t(row) * W;
        for (int j = 0; j < deepest; ++j) {
            const Rect& outer = rects[j];
            const Rect& inner = rects[j + 1];
            std::fill(line + outer.x, line + inner.x, outer.colour);
            std::fill(line + inner.x + inner.w, line + outer.x + outer.w, outer.colour);
        }
        const Rect& last = rects[deepest];
        std::fill(line + last.x, line + last.x + last.w, last.colour);
    }
}
