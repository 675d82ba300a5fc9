#include "driver/demo.h"

#include <cstdio>

#include "driver/fps.h"
#include "driver/musicfeed.h"
#include "support/identity.h"
#include "support/random.h"

DEMO demo;

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("KELP2207", "20110520", "OrvilleK", "C++", "PROGRAM");
} // namespace

const char* DemoInit() {
    static char failure[640];
    demo.display = SDLDPYNew();
    // Running blind helps nobody: without a window the show does not start, and says why
    // before it opens the sound device for nothing.
    if (!demo.display || !SDLDPYIsOpen()) {
        std::snprintf(failure, sizeof failure, "cannot open the 256x256 display: %s", SDLDPYReason());
        return failure;
    }
    demo.keyboard = SDLKBDNew();
    DemoInitSound();
    SDLDPYSetMode(demo.display, kScreenWidth, kScreenHeight);
    if (!SDLDPYIsOpen()) {
        std::snprintf(failure, sizeof failure, "cannot open the 256x256 display: %s", SDLDPYReason());
        return failure;
    }
    if (!demo.keyboard) return "cannot read the keyboard: out of memory";
    return DemoInitScene(demo.display->width, demo.display->height);
}

const char* DemoInitScene(int width, int height) {
    demo.back = IMGNew();
    if (demo.back) IMGSetSize(demo.back, width, height);
    if (!demo.back || demo.back->width != width || demo.back->height != height) {
        return "cannot create the back buffer: out of memory";
    }
    DemoInitFonts();
    RANDSeed(kRandomSeed);
    DemoInitScroller();
    DemoInitPictures();
    DemoInitRotozoom();
    DemoInitMusic();
    FPSState.target = kFrameRate;
    return DemoSceneFailure();
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
    if (demo.control & kEndRequest) return true;
    if (demo.control & kSkipRequest) {
        demo.control &= static_cast<unsigned char>(~kSkipRequest);
        return true;
    }
    return false;
}

void DemoFadeOut() {
    for (int i = 0; i < kFadeSteps; ++i) {
        IMGFade(demo.back, kFadeStep);
        SDLDPYBlitIMG(demo.display, demo.back);
    }
}
