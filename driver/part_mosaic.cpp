#include "driver/part_mosaic.h"

#include "driver/part.h"

namespace {
MOSAICPART state;

void Setup() {
    IMGClear(demo.back);
    state.mode = RANDNext() % 4;
    if (!state.mosaic) {
        state.mosaic = IMGNew();
        if (state.mosaic) IMGSetSize(state.mosaic, kScreenWidth, kScreenHeight);
    }
    const int tile = 16 << state.mode;
    for (int y = 0; y < kScreenHeight; y += tile) {
        for (int x = 0; x < kScreenWidth; x += tile) {
            IMGFillRect(state.mosaic, x, y, tile, tile, DemoRandomColour(0x070707));
        }
    }
}

void Frame() {
    IMGFade(demo.back, kFadeStep);
    // The bound is read after every spray: the first spray of a frame sets the mode's count.
    for (int j = 0; j < state.spraysPerFrame; ++j) DemoSpray();
    IMG* corner = demo.corner;
    IMGBlitTransparent(corner, demo.back, 0, 0, 0, kScreenHeight - corner->height, corner->width, corner->height);
}
} // namespace

extern constinit const DEMOPART kMosaicPart{"mosaic", Setup, Frame};

void DemoPartMosaic() { DemoRunPart(kMosaicPart); }
MOSAICPART& DemoMosaicState() { return state; }

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
    const int mode = state.mode >= 0 && state.mode < 3 ? state.mode : 3;
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
    state.spraysPerFrame = m.sprays;
    FONTPutCharSaturated(font);
    IMGBlitSubSat(state.mosaic, demo.back, 0, 0, 0, 0, kScreenWidth, kScreenHeight);
}
