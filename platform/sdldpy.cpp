#include "platform/sdldpy.h"

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "support/identity.h"

namespace {
// This module's identity differs from the others: its language names SDL and it has no kind.
struct DisplayIdentity {
    char name[8], date[8], author[8], language[16];
};
KELP_IDENTITY constexpr DisplayIdentity identity = {{'S', 'D', 'L', 'D', 'P', 'Y'},
                                                    {'2', '0', '1', '0', '0', '9', '2', '4'},
                                                    {'O', 'r', 'v', 'i', 'l', 'l', 'e', 'K'},
                                                    "C++ SDL 1.2"};
constexpr bool debug = false;
constexpr const char* kTitle = "KELP2207";

SDLDPY* current = nullptr;
bool open = false; // a mode is open on the platform

bool Presentable(const SDLDPY* display, const IMG* img) {
    return display && display == current && open && img && img->pixels;
}
} // namespace

void SDLDPYError() {
    if (debug) std::printf("SDLDPY error\n");
}

SDLDPY* SDLDPYCurrent() { return current; }

bool SDLDPYIsOpen() { return open; }

const char* SDLDPYReason() { return Platform()->why(); }

SDLDPY* SDLDPYNew() {
    if (current) {
        SDLDPYError();
        return current;
    }
    auto* display = static_cast<SDLDPY*>(std::calloc(1, sizeof(SDLDPY)));
    if (!display) {
        SDLDPYError();
        return nullptr;
    }
    current = display;
    SDLDPYSetMode(display, 256, 256);
    return display;
}

void SDLDPYSetMode(SDLDPY* display, int width, int height) {
    // Only the one display has a mode to set: any other record (one made before SDLDPYNew or
    // kept after SDLDPYFree) is refused like a null one.
    if (!display || display != current || width < 0 || height < 0) {
        SDLDPYError();
        return;
    }
    open = false;
    int bpp = 0;
    if (!Platform()->openMode(PLATFORMMODE{width, height, PlatformScreen(), kTitle}, &bpp)) {
        SDLDPYError();
        return;
    }
    open = true;
    display->bpp = bpp;
    display->width = width;
    display->height = height;
}

void SDLDPYBlitIMG(SDLDPY* display, const IMG* img) {
    if (!Presentable(display, img)) {
        SDLDPYError();
        return;
    }
    const int w = img->width < display->width ? img->width : display->width;
    const int h = img->height < display->height ? img->height : display->height;
    if (w > 0 && h > 0) Platform()->present(img, w, h);
}

void SDLDPYFree(SDLDPY** display) {
    if (!display || !*display || *display != current) {
        SDLDPYError();
        return;
    }
    if (open) Platform()->closeMode();
    open = false;
    std::free(*display);
    *display = nullptr;
    current = nullptr;
}

const char* SDLDPYToASCII(const SDLDPY* display) {
    if (!display || display != current) {
        SDLDPYError();
        return nullptr;
    }
    return "";
}

SDLDPY* SDLDPYFromASCII(const char* text) {
    if (!text || current) SDLDPYError();
    return nullptr;
}

bool SDLDPYEqual(const SDLDPY* a, const SDLDPY* b) {
    if (a && a == b && a == current) return true;
    SDLDPYError();
    return false;
}

SDLDPY* SDLDPYCopy(const SDLDPY* display) {
    if (display && display == current) return current;
    SDLDPYError();
    return nullptr;
}

// The two presents the demo does not use take only a picture of exactly the mode's size. They
// show it through the same conversion as SDLDPYBlitIMG: pointing the screen at the picture or
// copying words into it would show wrong colours on any screen not laid out like the picture,
// and a library that keeps its own pixel pointer behind the surface ignores a changed pointer.
void SDLDPYFlipIMG(SDLDPY* display, const IMG* img) { SDLDPYPutIMG(display, img); }

void SDLDPYPutIMG(SDLDPY* display, const IMG* img) {
    if (!Presentable(display, img) || img->width != display->width || img->height != display->height) {
        SDLDPYError();
        return;
    }
    if (img->width > 0 && img->height > 0) Platform()->present(img, img->width, img->height);
}
