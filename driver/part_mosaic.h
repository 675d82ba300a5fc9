// Part three: soft white glows sprayed onto black with saturating addition, the whole screen
// fading a little every frame and, after every spray, losing a different tint in each tile of a
// hidden mosaic, so the glows leave trails that die away differently tile by tile.
#pragma once
#include "img/img.h"

// What the part keeps: the hidden tile picture (made on the first run, refilled every run), the
// run's mode (0 .. 3: tiles of 16 << mode pixels) and the sprays per frame, which every spray
// rewrites with its mode's count.
struct MOSAICPART {
    IMG* mosaic = nullptr;
    int mode = 0;
    int spraysPerFrame = 2;
};

// Runs the part once (set-up and up to kPartLength frames).
void DemoPartMosaic();
// One spray in the current mode.
void DemoSpray();
// The part's own state, for tests and benchmarks to read and set.
MOSAICPART& DemoMosaicState();
