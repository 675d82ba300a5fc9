#include "driver/part_logo.h"

#include "driver/part.h"

namespace {
LOGOPART state;

void Setup() { IMGClear(demo.back); }

void Frame() {
    demo.rotozoom->step = 3;
    ROTOZOOMStep(demo.rotozoom);
    ROTOZOOMDraw(demo.rotozoom); // covers every pixel
    if (demo.scroller) {
        // The first half turn only (0 .. 32766): the band bounces up from the bottom.
        demo.scroll->y = kScreenHeight - demo.scroll->height - (SINEAt(DemoTurn(27) & (2 * SINEQuarter - 1)) >> 10);
        SCROLLDraw(demo.scroll);
        SCROLLStep(demo.scroll);
    }
    IMG* logo = demo.bigLogo;
    logo->x = demo.logoHomeX + (SINEAt(state.phaseX) >> 10);
    logo->y = demo.logoHomeY + (SINEAt(state.phaseY) >> 10);
    IMGBlitTransparent(logo, demo.back, 0, 0, logo->x, logo->y, logo->width, logo->height);
    state.phaseX = (state.phaseX + 13) & SINEMask;
    state.phaseY = (state.phaseY + 11) & SINEMask;
}
} // namespace

extern constinit const DEMOPART kLogoPart{"logo", Setup, Frame};

void DemoPartLogo() { DemoRunPart(kLogoPart); }
LOGOPART& DemoLogoState() { return state; }
