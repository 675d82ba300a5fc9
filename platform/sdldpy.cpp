#include "platform/sdldpy.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/signals.h"
#include "support/identity.h"
#ifdef __EMSCRIPTEN__
#include "platform/browser.h"
#endif

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
// While set, pictures go here instead of to a screen, and no window is opened.
SDLDPYFrameSink sink = nullptr;
void* sinkContext = nullptr;
bool sinkOpen = false; // a mode "opened" for the sink
uint32_t modeFlags = 0;
bool doubleBuffered = false;

bool Presentable(const SDLDPY* display, const IMG* img) {
    return display && display == current && (screen || sinkOpen) && img && img->pixels;
}

// Why the last mode could not be opened, with the display it tried: SDL's own text would be
// overwritten by the calls that follow before the program reports it.
char reason[512] = "";

void Explain(const char* what, const char* hint) {
    const char* name = std::getenv("DISPLAY");
    char tried[256] = "DISPLAY is not set";
    if (name && *name) std::snprintf(tried, sizeof tried, "DISPLAY=%s", name);
    std::snprintf(reason, sizeof reason, "%s (%s)%s", what, tried, hint);
}

// Without a graphical display SDL falls back to drawing in the terminal, writing escape codes to
// standard output for ever (or ends with the terminal library's message), or over SDL 2 to
// drawing nowhere. Only a user who names a driver gets that: otherwise the terminal library is
// told to draw nowhere, and a mode opened on such a driver is closed again as no display.
bool DriverChosen() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    return driver && *driver;
}

// The terminal drivers, and the window-less ones that a library over SDL 2 falls back to.
bool OnDriverWithoutScreen() {
    char name[32] = "";
    if (!SDL_VideoDriverName(name, sizeof name)) return false;
    for (const char* blind : {"caca", "aalib", "offscreen", "dummy"}) {
        if (std::strcmp(name, blind) == 0) return true;
    }
    return false;
}

volatile std::sig_atomic_t terminationRequested = 0;

void OnTermination(int) { terminationRequested = 1; }

// SDL turns SIGINT and SIGTERM into a quit event, which the keyboard drops like a window close,
// leaving the process deaf to Ctrl+C and kill; SIGHUP (the terminal closed) would end it on
// the spot, the desktop left in the full-screen mode. Taking the signals first (SDL keeps a
// handler it finds in place) lets the keyboard read them as ESC, so they end the show the
// ordinary way, desktop mode restored. Signals the caller chose to ignore stay ignored.
void TakeTerminationSignals() {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current = {};
        if (sigaction(sig, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
        struct sigaction action = {};
        action.sa_handler = OnTermination;
        sigemptyset(&action.sa_mask);
        sigaction(sig, &action, nullptr);
    }
}

#if defined(SDL_VIDEO_DRIVER_X11)
// True when an EWMH window manager runs on the display: it is the one that grants full screen.
bool HasWindowManager(Display* x, Window root) {
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(x, root, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                                          &data) == Success &&
                       type == XA_WINDOW && count == 1;
    if (data) XFree(data);
    return found;
}

// The classic library covers the screen with a full-screen window of its own. A library over
// SDL 2 instead asks the window manager to enlarge the window and lays out its scaled picture
// for the whole screen at once; with no window manager to grant the request the window keeps
// the mode's size and shows a corner of that layout. Then the window is enlarged here.
void CoverScreen() {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0 || info.subsystem != SDL_SYSWM_X11) return;
    auto& x11 = info.info.x11;
    if (!x11.display || !x11.window || x11.fswindow) return;
    if (x11.lock_func) x11.lock_func();
    const Window root = DefaultRootWindow(x11.display);
    XWindowAttributes screenArea = {}, window = {};
    if (!HasWindowManager(x11.display, root) && XGetWindowAttributes(x11.display, root, &screenArea) &&
        XGetWindowAttributes(x11.display, x11.window, &window) &&
        (window.width < screenArea.width || window.height < screenArea.height)) {
        XMoveResizeWindow(x11.display, x11.window, 0, 0, unsigned(screenArea.width), unsigned(screenArea.height));
        XRaiseWindow(x11.display, x11.window);
        XSync(x11.display, False);
    }
    if (x11.unlock_func) x11.unlock_func();
}
#else
void CoverScreen() {}
#endif

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

bool SDLDPYIsOpen() { return screen != nullptr || sinkOpen; }

void SDLDPYSetFrameSink(SDLDPYFrameSink frameSink, void* context) {
    sink = frameSink;
    sinkContext = context;
    if (!sink) sinkOpen = false;
}

const char* SDLDPYReason() { return reason; }

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
    if (sink) {
        // No window: the sink takes the pictures, in the pictures' own format.
        sinkOpen = true;
        current->bpp = 32;
        current->width = width;
        current->height = height;
        return;
    }
    TakeTerminationSignals();
    if (!DriverChosen() && !SDL_WasInit(SDL_INIT_VIDEO)) setenv("CACA_DRIVER", "null", 1);
    SDL_Surface* opened = SDL_SetVideoMode(width, height, 0, modeFlags);
    if (opened && !DriverChosen() && OnDriverWithoutScreen()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        Explain("no graphical display", "; SDL_VIDEODRIVER=caca draws in the terminal instead");
        SDLDPYError();
        return;
    }
    if (!opened) {
        Explain(SDL_GetError(), "");
        SDLDPYError();
        return;
    }
#ifdef __EMSCRIPTEN__
    // In a page the process's end is the show's: the page keeps running after it.
    BrowserEndShowAtExit();
#else
    // Whatever ends the process (ESC's exit included) must give the desktop its own video
    // mode back, so SDL's shutdown runs as an exit handler once video is up.
    static bool quitAtExit = false;
    if (!quitAtExit) {
        std::atexit(SDL_Quit);
        quitAtExit = true;
    }
#endif
    screen = opened;
    SDL_WM_SetCaption(kTitle, kTitle);
    current->bpp = screen->format->BitsPerPixel;
    current->width = width;
    current->height = height;
    doubleBuffered = (screen->flags & SDL_DOUBLEBUF) != 0;
    if (modeFlags & SDL_FULLSCREEN) CoverScreen();
}

void SDLDPYBlitIMG(SDLDPY* display, const IMG* img) {
    if (!Presentable(display, img)) {
        SDLDPYError();
        return;
    }
    if (sink) {
        sink(img, sinkContext);
        return;
    }
    const int w = img->width < display->width ? img->width : display->width;
    const int h = img->height < display->height ? img->height : display->height;
    // A surface's row length is 16 bits wide.
    if (w <= 0 || h <= 0 || img->width > 0xFFFF / 4) return;
#ifdef __EMSCRIPTEN__
    // A page's surfaces are canvases: no conversion to a display format, and the screen shows
    // what its buffer holds when it is unlocked.
    BrowserPresent(screen, img, w, h);
    return;
#endif
    // The wrapper borrows the picture's memory, rows of the picture's own width: the only
    // copies are the conversion and the blit. It must be made over that memory, not pointed at
    // it afterwards: a library that keeps its own pixel pointer behind the surface would never
    // see the change and convert its own empty buffer.
    SDL_Surface* wrapper = SDL_CreateRGBSurfaceFrom(img->pixels, w, h, 32, img->width * 4, 0x00FF0000u, 0x0000FF00u,
                                                    0x000000FFu, 0xFF000000u);
    if (!wrapper) return; // skip the frame rather than touch a missing surface
    SDL_Surface* converted = SDL_DisplayFormat(wrapper);
    if (converted) SDL_UpperBlit(converted, nullptr, screen, nullptr);
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
    sinkOpen = false;
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

// The picture's words into the screen's rows, as many bytes a row as both hold: no conversion,
// so the colours are right on a 32-bit screen with the picture's channel layout.
[[maybe_unused]] void CopyRows(const IMG* img) { // the desktop's; a page presents its own way
    if (SDL_LockSurface(screen) != 0) return;
    const size_t source = size_t(img->width) * 4;
    const size_t row = source < size_t(screen->pitch) ? source : size_t(screen->pitch);
    auto* to = static_cast<uint8_t*>(screen->pixels);
    for (int y = 0; y < img->height && y < screen->h; ++y) {
        std::memcpy(to + size_t(y) * screen->pitch, img->pixels + size_t(y) * size_t(img->width), row);
    }
    SDL_UnlockSurface(screen);
}
} // namespace

// Both copy the rows into the locked screen rather than point the screen at the picture: a
// library that keeps its own pixel pointer behind the surface ignores a changed pointer.
void SDLDPYFlipIMG(SDLDPY* display, const IMG* img) { SDLDPYPutIMG(display, img); }

void SDLDPYPutIMG(SDLDPY* display, const IMG* img) {
    if (!ExactFit(display, img)) return;
    if (sink) {
        sink(img, sinkContext);
        return;
    }
#ifdef __EMSCRIPTEN__
    BrowserPresent(screen, img, img->width, img->height); // the canvas's channel order differs
#else
    CopyRows(img);
    Update();
#endif
}
