// The four visual parts: set-up and the drawing of one frame each. The frame loop and the
// frame end are shared (demo.cpp). Every random draw happens in a fixed order, so a seed
// replays the whole show.
#include <algorithm>
#include <cstdlib>

#include "data/sine.h"
#include "driver/demo.h"
#include "driver/fps.h"
#include "support/random.h"
#include "support/wrap.h"

namespace {
constexpr int W = kScreenWidth;
constexpr int H = kScreenHeight;

// The frame counter times a speed, in sine steps; it wraps instead of overflowing.
int Turn(int speed, int offset = 0) { return wrap::Add(wrap::Mul(FPSState.frames, speed), offset); }

// A random 24-bit colour from two draws: red from the first, green and blue from the second.
uint32_t RandomColour(uint32_t mask) {
    const uint32_t first = uint32_t(RANDNext());
    const uint32_t second = uint32_t(RANDNext());
    return ((first << 16) | second) & mask;
}

uint32_t LightColour() { return RandomColour(0x7F7F7F) + 0x808080; }
} // namespace

// --- Part one: bouncing logo over the rotozoom, with the scroller ----------------------------

void DemoLogoSetup() { IMGClear(demo.back); }

void DemoLogoFrame() {
    demo.rotozoom->step = 3;
    ROTOZOOMStep(demo.rotozoom);
    ROTOZOOMDraw(demo.rotozoom); // covers every pixel
    if (demo.scroller) {
        // The first half turn only (0 .. 32766): the band bounces up from the bottom.
        demo.scroll->y = H - demo.scroll->height - (SINEAt(Turn(27) & (2 * SINEQuarter - 1)) >> 10);
        SCROLLDraw(demo.scroll);
        SCROLLStep(demo.scroll);
    }
    IMG* logo = demo.bigLogo;
    logo->x = demo.logoHomeX + (SINEAt(demo.logoPhaseX) >> 10);
    logo->y = demo.logoHomeY + (SINEAt(demo.logoPhaseY) >> 10);
    IMGBlitTransparent(logo, demo.back, 0, 0, logo->x, logo->y, logo->width, logo->height);
    demo.logoPhaseX = (demo.logoPhaseX + 13) & SINEMask;
    demo.logoPhaseY = (demo.logoPhaseY + 11) & SINEMask;
}

// --- Part two: circle bursts on white -------------------------------------------------------

void DemoBurstsSetup() {
    IMGFillRect(demo.back, 0, 0, W, H, 0xFFFFFF);
    demo.burstRadius = 0x8000;
    demo.burstRadius += (RANDNext() & 1) ? (RANDNext() & 0xFFF) : -(RANDNext() & 0xFFF);
    demo.burstStep = 0x10000;
    demo.burstStep += (RANDNext() & 1) ? (RANDNext() & 0xFF) : -(RANDNext() & 0xFF);
    demo.burstStars = (RANDNext() & 3) + 1;
}

void DemoBurstsFrame() {
    DemoBurst(demo.burstStars);
    IMG* corner = demo.corner;
    IMGBlitTransparent(corner, demo.back, 0, 0, W - corner->width, H - corner->height, corner->width,
                       corner->height);
}

void DemoBurst(int n) {
    const int cx = RANDNext() % W;
    const int cy = RANDNext() % H;
    int radius = RANDNext() % 128;
    int step = (RANDNext() & 7) + 4;
    uint32_t colour = LightColour();
    while (n > 0) {
        DemoRays(cx, cy, radius, step, colour);
        radius = (radius * demo.burstRadius) >> 16;
        if (radius <= 0) break;
        step = (step * demo.burstStep) >> 16;
        if (step <= 0) break;
        colour = LightColour();
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

// --- Part three: tile mosaic and sprays ------------------------------------------------------

void DemoMosaicSetup() {
    IMGClear(demo.back);
    demo.mosaicMode = RANDNext() % 4;
    if (!demo.mosaic) {
        demo.mosaic = IMGNew();
        if (demo.mosaic) IMGSetSize(demo.mosaic, W, H);
    }
    const int tile = 16 << demo.mosaicMode;
    for (int y = 0; y < H; y += tile) {
        for (int x = 0; x < W; x += tile) IMGFillRect(demo.mosaic, x, y, tile, tile, RandomColour(0x070707));
    }
}

void DemoMosaicFrame() {
    IMGFade(demo.back, kFadeStep);
    // The bound is read after every spray: the first spray of a frame sets the mode's count.
    for (int j = 0; j < demo.spraysPerFrame; ++j) DemoSpray();
    IMG* corner = demo.corner;
    IMGBlitTransparent(corner, demo.back, 0, 0, 0, H - corner->height, corner->width, corner->height);
}

void DemoSpray() {
    // Each mode keeps its glows inside its own tiles (16 << mode): pen x and y are each
    // (rand() & mask) - offset for the 64 x 64 glow cell, then the glyph is drawn.
    struct Mode {
        int mask, offset, sprays;
    };
    static constexpr Mode kModes[] = {
        // Multiples of 16, less 24: the smallest glow's centre on the centre of every 16-tile.
        {0xF0, 24, 8},
        // 32k or 32k + 1, less 16: centred on the 32-tiles, the low bit a pixel of jitter.
        {0xE1, 16, 4},
        // 64k or 64k + 1, less 1: centred on the 64-tiles, with the same jitter.
        {0xC1, 1, 1},
        // Bit 6 clear: the cell starts in the left half of a 128-tile, so it never straddles two.
        {0xBF, 0, 4},
    };
    const int mode = demo.mosaicMode >= 0 && demo.mosaicMode < 3 ? demo.mosaicMode : 3;
    const Mode& m = kModes[mode];
    FONT* font = demo.sprayFont;
    font->x = (RANDNext() & m.mask) - m.offset;
    font->y = (RANDNext() & m.mask) - m.offset;
    // Glow sizes to suit the tile: only the smallest (3) on 16-pixel tiles, the two smallest on
    // 32, all but the largest on 64, any on 128.
    switch (mode) {
    case 0: font->character = 3; break;
    case 1: font->character = (RANDNext() & 1) + 2; break;
    case 2: font->character = RANDNext() % 3 + 1; break;
    default: font->character = RANDNext() & 3; break;
    }
    demo.spraysPerFrame = m.sprays;
    FONTPutCharSaturated(font);
    IMGBlitSubSat(demo.mosaic, demo.back, 0, 0, 0, 0, W, H);
}

// --- Part four: nested sine rectangles -----------------------------------------------------

void DemoRectsSetup() {
    IMGClear(demo.back);
    demo.rectsColour = LightColour();
}

void DemoRectsFrame() {
    DemoRects();
    IMG* corner = demo.corner;
    IMGBlitTransparent(corner, demo.back, 0, 0, W - corner->width, 0, corner->width, corner->height);
}

void DemoRects() {
    constexpr int32_t kStep = 0x18000; // 1.5 per rectangle, in 16.16
    struct Rect {
        int x, y, w, h;
        uint32_t colour;
    };
    Rect rects[W / 2];
    int count = 0;
    const uint32_t c = demo.rectsColour;
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
        const int sx = SINEAt(Turn(7, i)) + SINEAt(Turn(3, i)) + SINEAt(Turn(1, i));
        const int sy = SINEAt(Turn(5, i)) + SINEAt(Turn(2, i)) + SINEAt(Turn(1, i));
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
