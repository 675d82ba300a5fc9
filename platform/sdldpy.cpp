#include "platform/sdldpy.h"

#include <SDL.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/signals.h"
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
SDL_Surface* screen = nullptr;
uint32_t modeFlags = 0;
bool doubleBuffered = false;

bool Presentable(const SDLDPY* display, const IMG* img) {
    return display && display == current && screen && img && img->pixels;
}

volatile std::sig_atomic_t terminationRequested = 0;

void OnTermination(int) { terminationRequested = 1; }

// SDL turns SIGINT and SIGTERM into a quit event, which the keyboard drops like a window close,
// leaving the process deaf to Ctrl+C and kill. Taking the two signals first (SDL keeps a
// handler it finds in place) lets the keyboard read them as ESC, so they end the show the
// ordinary way, desktop mode restored. Signals the caller chose to ignore stay ignored.
void TakeTerminationSignals() {
    for (int sig : {SIGINT, SIGTERM}) {
        struct sigaction current = {};
        if (sigaction(sig, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction action = {};
        action.sa_handler = OnTermination;
        sigemptyset(&action.sa_mask);
        sigaction(sig, &action, nullptr);
    }
}

void Update() {
    if (doubleBuffered) {
        SDL_Flip(screen);
    } else {
        SDL_UpdateRect(screen, 0, 0, 0, 0);
    }
}
} // namespace

void SDLDPYError() {
    if (debug) std::printf("SDLDPY error\n");
}

SDLDPY* SDLDPYCurrent() { return current; }

bool PlatformTerminationRequested() { return terminationRequested != 0; }

bool SDLDPYIsOpen() { return screen != nullptr; }

const char* SDLDPYReason() { return SDL_GetError(); }

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
    if (!display || width < 0 || height < 0) {
        SDLDPYError();
        return;
    }
    if (screen) SDL_FreeSurface(screen); // a no-op for the video surface itself
    screen = nullptr;
    modeFlags = SDLDPYModeFlags;
    TakeTerminationSignals();
    SDL_Surface* opened = SDL_SetVideoMode(width, height, 0, modeFlags);
    if (!opened) {
        SDLDPYError();
        return;
    }
    // Whatever ends the process (ESC's exit included) must give the desktop its own video
    // mode back, so SDL's shutdown runs as an exit handler once video is up.
    static bool quitAtExit = false;
    if (!quitAtExit) {
        std::atexit(SDL_Quit);
        quitAtExit = true;
    }
    screen = opened;
    SDL_WM_SetCaption(kTitle, kTitle);
    current->bpp = screen->format->BitsPerPixel;
    current->width = width;
    current->height = height;
    doubleBuffered = (screen->flags & SDL_DOUBLEBUF) != 0;
}

void SDLDPYBlitIMG(SDLDPY* display, const IMG* img) {
    if (!Presentable(display, img)) {
        SDLDPYError();
        return;
    }
    const int w = img->width < display->width ? img->width : display->width;
    const int h = img->height < display->height ? img->height : display->height;
    if (w <= 0 || h <= 0) return;
    SDL_Surface* wrapper =
        SDL_CreateRGBSurface(modeFlags, w, h, 32, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u);
    if (!wrapper) return; // skip the frame rather than touch a missing surface
    // Borrow the picture's memory for the wrapper: the only copies are the conversion and the blit.
    void* own = wrapper->pixels;
    wrapper->pixels = img->pixels;
    wrapper->pitch = static_cast<Uint16>(img->width * 4);
    SDL_Surface* converted = SDL_DisplayFormat(wrapper);
    if (converted) SDL_UpperBlit(converted, nullptr, screen, nullptr);
    wrapper->pixels = own;
    SDL_FreeSurface(wrapper);
    if (converted) SDL_FreeSurface(converted);
    Update();
}

void SDLDPYFree(SDLDPY** display) {
    if (!display || !*display || *display != current) {
        SDLDPYError();
        return;
    }
    if (screen) SDL_FreeSurface(screen);
    screen = nullptr;
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

namespace {
// The two presents the demo does not use make no conversion, so they take only a picture of
// exactly the mode's size.
bool ExactFit(const SDLDPY* display, const IMG* img) {
    if (!Presentable(display, img) || img->width != display->width || img->height != display->height) {
        SDLDPYError();
        return false;
    }
    return true;
}
} // namespace

void SDLDPYFlipIMG(SDLDPY* display, const IMG* img) {
    if (!ExactFit(display, img)) return;
    SDL_LockSurface(screen);
    void* own = screen->pixels;
    screen->pixels = img->pixels;
    Update();
    screen->pixels = own;
    SDL_UnlockSurface(screen);
}

void SDLDPYPutIMG(SDLDPY* display, const IMG* img) {
    if (!ExactFit(display, img)) return;
    SDL_LockSurface(screen);
    // Copy only what the surface holds, whatever depth the platform granted.
    const size_t picture = size_t(img->width) * size_t(img->height) * 4;
    const size_t surface = size_t(screen->pitch) * size_t(screen->h);
    std::memcpy(screen->pixels, img->pixels, picture < surface ? picture : surface);
    SDL_UnlockSurface(screen);
    Update();
}
