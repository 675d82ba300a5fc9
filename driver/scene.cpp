// The objects the parts draw with: pictures, fonts, the scroller, the rotozoom, and the
// frame-rate read-out. All are made once at start-up from the assets compiled into the program.

#include <cstdio>

#include "data/assets.h"
#include "driver/demo.h"
#include "driver/fps.h"

namespace {
// The first object that could not be made: the show cannot go on without it.
char failure[96] = "";

// The embedded pictures are well-formed, so a failure here means the machine is out of memory.
IMG* Decode(const unsigned char* bytes, const char* what) {
    IMG* img = IMGFromPNM(bytes);
    if (!img && !*failure) std::snprintf(failure, sizeof failure, "cannot decode the %s picture", what);
    return img;
}

template <typename T>
T* Made(T* object, const char* what) {
    if (!object && !*failure) std::snprintf(failure, sizeof failure, "cannot create the %s: out of memory", what);
    return object;
}

FONT* MakeFont(int glyph, const unsigned char* picture, const char* what) {
    FONT* font = Made(FONTNew(), what);
    if (!font) return nullptr;
    font->width = glyph;
    font->height = glyph;
    font->source = Decode(picture, what);
    font->target = demo.back;
    return font;
}
} // namespace

void DemoInitFonts() {
    demo.textFont = MakeFont(32, ASSETFont, "font");
    demo.sprayFont = MakeFont(64, ASSETSpray, "spray");
}

void DemoInitScroller() {
    demo.scroll = Made(SCROLLNew(), "scroller");
    if (!demo.scroll || !demo.textFont) return;
    SCROLLSet(demo.scroll, reinterpret_cast<const char*>(ASSETScroll), demo.textFont, demo.back);
    demo.scroll->y = 0;
    demo.scroll->speed = 5;
}

void DemoInitPictures() {
    demo.badge = Decode(ASSETBadge, "badge");
    demo.logo = Decode(ASSETLogo, "logo");
    demo.bigLogo = Made(IMGNew(), "big logo");
    if (!demo.logo || !demo.bigLogo) return;
    IMGSetSize(demo.bigLogo, 2 * demo.logo->width, 2 * demo.logo->height);
    IMGScale(demo.logo, demo.bigLogo);
    demo.logoHomeX = (demo.back->width - demo.bigLogo->width) / 2;
    demo.logoHomeY = (demo.back->height - demo.bigLogo->height) / 8;
    demo.corner = Decode(ASSETCorner, "corner logo");
}

void DemoInitRotozoom() {
    demo.rotozoom = Made(ROTOZOOMNew(), "rotozoom");
    if (!demo.rotozoom) return;
    ROTOZOOMSet(demo.rotozoom, demo.badge, demo.back); // the rotozoom owns the badge from here on
    demo.rotozoom->step = 2;
}

const char* DemoSceneFailure() { return *failure ? failure : nullptr; }

void DemoReadout() {
    if (!demo.readout) return;
    demo.textFont->x = 0;
    demo.textFont->y = 0;
    demo.textFont->target = demo.back;
    FONTPutHex8(demo.textFont, uint32_t(FPSState.measured) & 0xFFu);
}
