#include "driver/demo.h"

#include <cstdio>
#include <cstdlib>

#include "driver/fps.h"
#include "driver/musicfeed.h"
#include "support/identity.h"
#include "support/random.h"

DEMO demo;

namespace {
[[maybe_unused]] constexpr IDENTITY identity = MakeIdentity("KELP2207", "20110520", "OrvilleK", "C++", "PROGRAM");

[[noreturn]] void Fail(const char* what, const char* reason) {
    std::fprintf(stderr, "kelp2207: %s: %s\n", what, reason);
    std::exit(1);
}
} // namespace

void DemoInit() {
    demo.display = SDLDPYNew();
    // Running blind helps nobody: without a window the program says why and stops, before it
    // opens the sound device for nothing.
    if (!demo.display || !SDLDPYIsOpen()) Fail("cannot open the 256x256 display", SDLDPYReason());
    demo.keyboard = SDLKBDNew();
    DemoInitSound();
    if (demo.display) SDLDPYSetMode(demo.display, kScreenWidth, kScreenHeight);
    if (!SDLDPYIsOpen()) Fail("cannot open the 256x256 display", SDLDPYReason());
    if (!demo.keyboard) Fail("cannot read the keyboard", "out of memory");
    DemoInitScene(demo.display->width, demo.display->height);
}

void DemoInitScene(int width, int height) {
    demo.back = IMGNew();
    if (demo.back) IMGSetSize(demo.back, width, height);
    if (!demo.back || demo.back->width != width || demo.back->height != height) {
        Fail("cannot create the back buffer", "out of memory");
    }
    DemoInitFonts();
    RANDSeed(kRandomSeed);
    DemoInitScroller();
    DemoInitPictures();
    DemoInitRotozoom();
    DemoInitMusic();
    FPSState.target = 50;
}

bool DemoFrameEnd() {
    FPSTick();
    FPSWait();
    DemoReadout();
    SDLDPYBlitIMG(demo.display, demo.back);
    DemoMusicTick();
    SDLKBDGetKey(demo.keyboard);
    if (demo.keyboard) {
        DemoKey(demo.keyboard->keys[0]);
        demo.keyboard->keys[0] = 0; // a key acts once per press
    }
    if (demo.control & kSkipRequest) {
        demo.control &= static_cast<unsigned char>(~kSkipRequest);
        return true;
    }
    return false;
}

void DemoKey(int key) {
    switch (static_cast<signed char>(key)) {
    case 27: // ESC
        DemoFadeOut();
        std::exit(0); // SDL shuts down in its exit handler
    case ' ':
        demo.control |= kSkipRequest;
        break;
    case '1':
        demo.scroller ^= 1;
        break;
    case '5':
        FPSState.target = 25;
        break;
    case '6':
        FPSState.target = 50;
        break;
    case 'f':
        demo.readout ^= 1;
        break;
    case 'a':
        if (demo.scroll && demo.scroll->speed < 32) ++demo.scroll->speed;
        break;
    case 's':
        if (demo.scroll && demo.scroll->speed > -32) --demo.scroll->speed;
        break;
    default:
        break;
    }
}

void DemoFadeOut() {
    for (int i = 0; i < kFadeSteps; ++i) {
        IMGFade(demo.back, kFadeStep);
        SDLDPYBlitIMG(demo.display, demo.back);
    }
}

void DemoRunPart(void (*setup)(), void (*frame)()) {
    setup();
    for (int i = 0; i < kPartLength; ++i) {
        frame();
        if (DemoFrameEnd()) return;
    }
}

void DemoPartLogo() { DemoRunPart(DemoLogoSetup, DemoLogoFrame); }
void DemoPartBursts() { DemoRunPart(DemoBurstsSetup, DemoBurstsFrame); }
void DemoPartMosaic() { DemoRunPart(DemoMosaicSetup, DemoMosaicFrame); }
void DemoPartRects() { DemoRunPart(DemoRectsSetup, DemoRectsFrame); }
