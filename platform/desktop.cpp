// The desktop backend: SDL 1.2 on Linux (the classic library or sdl12-compat over SDL 2) and on
// Windows. What differs between the two systems (signals, messages, taking the whole screen)
// lives here and nowhere above.
#include <SDL.h>
#include <SDL_syswm.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "platform/enlarge.h"
#include "platform/platform.h"

namespace {
SDL_Surface* screen = nullptr;
uint32_t modeFlags = 0;
bool doubleBuffered = false;
bool audioOpen = false;

// How the pictures sit on the screen: enlarged `factor` times, their top-left corner at
// (left, top), black around. A plain window of the pictures' size has factor 1 at (0, 0).
struct LAYOUT {
    int pictureW = 0, pictureH = 0;
    int factor = 1;
    int left = 0, top = 0;
    int blackToPaint = 0; // presents that must paint the black around first (two: both buffers)
} layout;

// The settings taken from the environment, read once.
struct SETTINGS {
    const char* problem = nullptr; // one line when a value is not understood
    int scale = 0;                 // KELP2207_SCALE: 1 to 8; -1 auto; 0 unset: a plain window
    bool fullScreenMode = false;   // KELP2207_FULLSCREEN=mode: a video mode of the pictures' size
};

constexpr int kLargestScale = 8;

const SETTINGS& Settings() {
    static char problem[256];
    static SETTINGS settings = [] {
        SETTINGS s;
        if (const char* scale = std::getenv("KELP2207_SCALE"); scale && *scale) {
            if (std::strcmp(scale, "auto") == 0) {
                s.scale = -1;
            } else if (scale[0] >= '1' && scale[0] <= '0' + kLargestScale && scale[1] == 0) {
                s.scale = scale[0] - '0';
            } else {
                std::snprintf(problem, sizeof problem,
                              "KELP2207_SCALE takes a whole number from 1 to 8 or auto, not '%.40s'", scale);
                s.problem = problem;
            }
        }
        if (const char* full = std::getenv("KELP2207_FULLSCREEN"); full && *full && !s.problem) {
            if (std::strcmp(full, "mode") == 0) {
                s.fullScreenMode = true;
            } else if (std::strcmp(full, "desktop") != 0) {
                std::snprintf(problem, sizeof problem,
                              "KELP2207_FULLSCREEN takes desktop (the default) or mode, not '%.40s'", full);
                s.problem = problem;
            }
        }
        return s;
    }();
    return settings;
}

const char* CheckSettings() { return Settings().problem; }

// The desktop's own resolution, as SDL tells it before the first mode is set; 0 x 0 when it
// cannot (a library older than 1.2.10).
void DesktopSize(int* w, int* h) {
    static int width = -1, height = -1;
    if (width < 0) {
        width = height = 0;
        if (SDL_WasInit(SDL_INIT_VIDEO) || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
            if (const SDL_VideoInfo* info = SDL_GetVideoInfo()) {
                width = info->current_w;
                height = info->current_h;
            }
        }
    }
    *w = width;
    *h = height;
}

// Why the last mode could not be opened, with the display it tried: SDL's own text would be
// overwritten by the calls that follow before the program reports it.
char reason[512] = "";

void Explain(const char* what, const char* hint) {
#if defined(_WIN32)
    std::snprintf(reason, sizeof reason, "%s%s", what, hint); // one desktop: nothing to name
#else
    const char* name = std::getenv("DISPLAY");
    char tried[256] = "DISPLAY is not set";
    if (name && *name) std::snprintf(tried, sizeof tried, "DISPLAY=%s", name);
    std::snprintf(reason, sizeof reason, "%s (%s)%s", what, tried, hint);
#endif
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
bool terminationTold = false; // this drain of the queue has had its ESC

#if defined(_WIN32)
// A windowed Windows program has no console, so no Ctrl+C or hang-up to take; a display mode
// of its own (KELP2207_FULLSCREEN=mode) Windows gives back itself when the process ends.
void TakeTerminationSignals() {}

// Double-clicked, the program has nowhere to print: the reason also comes in a message box.
void Say(const char* line) {
    std::fprintf(stderr, "%s\n", line);
    std::fflush(stderr);
    MessageBoxA(nullptr, line, "KELP2207", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

// A window without a frame that covers the screen shows the picture on the whole screen and,
// unlike SDL's full screen here, changes no display mode. Placed at the screen's corner.
uint32_t CoverFlags(uint32_t flags) {
    static char place[] = "SDL_VIDEO_WINDOW_POS=0,0";
    SDL_putenv(place);
    return (flags & ~uint32_t(SDL_FULLSCREEN)) | SDL_NOFRAME;
}

// SDL's terminal drivers do not exist here.
void KeepOutOfTheTerminal() {}
#else
void OnTermination(int) { terminationRequested = 1; }

// SDL turns SIGINT and SIGTERM into a quit event, which the keyboard drops like a window close,
// leaving the process deaf to Ctrl+C and kill; SIGHUP (the terminal closed) would end it on
// the spot, the desktop left in the full-screen mode. Taking the signals first (SDL keeps a
// handler it finds in place) lets them read as ESC, so they end the show the ordinary way,
// desktop mode restored. Signals the caller chose to ignore stay ignored.
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

void Say(const char* line) { PlatformSayOnStandardError(line); }

// SDL's full screen at the desktop's own resolution changes no mode here.
uint32_t CoverFlags(uint32_t flags) { return flags; }

// Unless a driver was named, the terminal library draws nowhere (see DriverChosen).
void KeepOutOfTheTerminal() {
    if (!DriverChosen() && !SDL_WasInit(SDL_INIT_VIDEO)) setenv("CACA_DRIVER", "null", 1);
}
#endif

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

// The X server went away (a logout, the server killed). Xlib would end the process through exit,
// whose handlers and destructors then run beside SDL's threads still working on the dead
// connection: over SDL 2 its shutdown waits for ever, or a thread crashes. Nothing can be shown
// or given back any more, so the process ends here, at once.
int OnDisplayLost(Display*) {
    static const char line[] = "kelp2207: the connection to the display was lost\n";
    if (write(STDERR_FILENO, line, sizeof line - 1) < 0) {
        // nothing more to say it with
    }
    _exit(1);
}

void WatchDisplay() { XSetIOErrorHandler(OnDisplayLost); }
#else
void CoverScreen() {}
void WatchDisplay() {}
#endif

// The picture enlarged by the largest whole factor the screen holds (at most `most`), centred.
void Lay(int pictureW, int pictureH, int most) {
    layout.pictureW = pictureW;
    layout.pictureH = pictureH;
    layout.factor = std::min(PlatformFitFactor(pictureW, pictureH, screen->w, screen->h), std::max(1, most));
    layout.left = (screen->w - pictureW * layout.factor) / 2;
    layout.top = (screen->h - pictureH * layout.factor) / 2;
    const bool covered = layout.left == 0 && layout.top == 0 && pictureW * layout.factor == screen->w &&
                         pictureH * layout.factor == screen->h;
    layout.blackToPaint = covered ? 0 : doubleBuffered ? 2 : 1;
}

// SDL's video-mode flags of the two programs: SDL_HWSURFACE | SDL_ANYFORMAT, and for the whole
// screen SDL_FULLSCREEN as well.
constexpr uint32_t kWindowFlags = 0x10000001u;
constexpr uint32_t kFullScreenFlags = 0x90000001u;

bool OpenMode(const PLATFORMMODE& mode, int* bpp) {
    if (screen) SDL_FreeSurface(screen); // a no-op for the video surface itself
    screen = nullptr;
    modeFlags = mode.screen == PLATFORMSCREEN::FullScreen ? kFullScreenFlags : kWindowFlags;
    TakeTerminationSignals();
    KeepOutOfTheTerminal();
    const SETTINGS& settings = Settings();
    // Full screen takes the desktop at its own resolution, so no video mode changes: the
    // picture is enlarged here. A window is enlarged only when asked, and can then be resized.
    int w = mode.width, h = mode.height, most = 1;
    const bool fullScreen = (modeFlags & SDL_FULLSCREEN) != 0;
    int desktopW = 0, desktopH = 0;
    if (fullScreen && !settings.fullScreenMode) {
        DesktopSize(&desktopW, &desktopH);
        if (desktopW >= mode.width && desktopH >= mode.height) {
            w = desktopW;
            h = desktopH;
            most = settings.scale > 0 ? settings.scale : kLargestScale * 4;
            modeFlags = CoverFlags(modeFlags);
        }
    } else if (!fullScreen && settings.scale != 0) {
        most = settings.scale;
        if (most < 0) { // auto: the largest window that fits four fifths of the desktop's height
            DesktopSize(&desktopW, &desktopH);
            most = std::clamp(desktopH * 4 / 5 / std::max(1, mode.height), 1, kLargestScale);
        }
        w = mode.width * most;
        h = mode.height * most;
        modeFlags |= SDL_RESIZABLE;
    }
    // Before the library's own watch, which hands the loss on to this one.
    static bool watching = false;
    if (!watching) {
        WatchDisplay();
        watching = true;
    }
    SDL_Surface* opened = SDL_SetVideoMode(w, h, 0, modeFlags);
    if (opened && !DriverChosen() && OnDriverWithoutScreen()) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        Explain("no graphical display", "; SDL_VIDEODRIVER=caca draws in the terminal instead");
        return false;
    }
    if (!opened) {
        Explain(SDL_GetError(), "");
        return false;
    }
    // Whatever ends the process must give the desktop its own video mode back, so SDL's
    // shutdown runs as an exit handler once video is up.
    static bool quitAtExit = false;
    if (!quitAtExit) {
        std::atexit(SDL_Quit);
        quitAtExit = true;
    }
    screen = opened;
    SDL_WM_SetCaption(mode.title, mode.title);
    *bpp = screen->format->BitsPerPixel;
    doubleBuffered = (screen->flags & SDL_DOUBLEBUF) != 0;
    if (fullScreen) CoverScreen();
    Lay(mode.width, mode.height, most);
    return true;
}

// The window manager resized the window: a screen of the new size, the picture enlarged by the
// largest whole factor that fits it.
void Resize(int w, int h) {
    SDL_Surface* resized = SDL_SetVideoMode(w, h, 0, modeFlags);
    if (!resized) return; // the old screen stays
    screen = resized;
    doubleBuffered = (screen->flags & SDL_DOUBLEBUF) != 0;
    Lay(layout.pictureW, layout.pictureH, kLargestScale * 4);
}

void CloseMode() {
    if (screen) SDL_FreeSurface(screen);
    screen = nullptr;
}

const char* Why() { return reason; }

void PaintBlack() {
    SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
    if (!doubleBuffered) SDL_UpdateRect(screen, 0, 0, 0, 0);
    --layout.blackToPaint;
}

// True when the screen holds pixels exactly as a picture does: then they need no conversion.
bool ScreenLikePicture() {
    const SDL_PixelFormat* f = screen->format;
    return f->BytesPerPixel == 4 && f->Rmask == 0x00FF0000u && f->Gmask == 0x0000FF00u && f->Bmask == 0x000000FFu;
}

void Present(const IMG* picture, int w, int h) {
    // A surface's row length is 16 bits wide.
    if (!screen || w <= 0 || h <= 0 || picture->width > 0xFFFF / 4) return;
    if (layout.blackToPaint > 0) PaintBlack();
    const int k = layout.factor;
    SDL_Rect place = {Sint16(layout.left), Sint16(layout.top), Uint16(w * k), Uint16(h * k)};
    if (k > 1 && ScreenLikePicture()) {
        // Enlarged straight from the picture: one pass over the screen's memory.
        if (SDL_LockSurface(screen) != 0) return;
        auto* to = static_cast<uint8_t*>(screen->pixels) + size_t(place.y) * screen->pitch + size_t(place.x) * 4;
        PlatformEnlarge(reinterpret_cast<const uint8_t*>(picture->pixels), picture->width * 4, w, h, 4, to,
                        screen->pitch, k);
        SDL_UnlockSurface(screen);
    } else {
        // The wrapper borrows the picture's memory, rows of the picture's own width: the only
        // copies are the conversion and the blit. It must be made over that memory, not pointed
        // at it afterwards: a library that keeps its own pixel pointer behind the surface would
        // never see the change and convert its own empty buffer.
        SDL_Surface* wrapper = SDL_CreateRGBSurfaceFrom(picture->pixels, w, h, 32, picture->width * 4, 0x00FF0000u,
                                                        0x0000FF00u, 0x000000FFu, 0xFF000000u);
        if (!wrapper) return; // skip the frame rather than touch a missing surface
        SDL_Surface* converted = SDL_DisplayFormat(wrapper);
        if (converted && k == 1) {
            SDL_Rect at = place;
            SDL_UpperBlit(converted, nullptr, screen, &at);
        } else if (converted && SDL_LockSurface(converted) == 0) {
            if (SDL_LockSurface(screen) == 0) {
                const int bytes = screen->format->BytesPerPixel;
                auto* to = static_cast<uint8_t*>(screen->pixels) + size_t(place.y) * screen->pitch +
                           size_t(place.x) * size_t(bytes);
                PlatformEnlarge(static_cast<const uint8_t*>(converted->pixels), converted->pitch, w, h, bytes, to,
                                screen->pitch, k);
                SDL_UnlockSurface(screen);
            }
            SDL_UnlockSurface(converted);
        }
        SDL_FreeSurface(wrapper);
        if (converted) SDL_FreeSurface(converted);
    }
    if (doubleBuffered) {
        SDL_Flip(screen);
    } else if (k == 1 && layout.left == 0 && layout.top == 0) {
        SDL_UpdateRect(screen, 0, 0, 0, 0); // the whole screen, as always
    } else {
        // Only the picture's part: the black around it stays as painted. Clipped to the screen
        // (a window resized smaller than the picture shows its middle).
        const int x0 = std::max(0, layout.left), y0 = std::max(0, layout.top);
        const int x1 = std::min(int(screen->w), layout.left + w * k);
        const int y1 = std::min(int(screen->h), layout.top + h * k);
        if (x1 > x0 && y1 > y0) SDL_UpdateRect(screen, x0, y0, Uint32(x1 - x0), Uint32(y1 - y0));
    }
}

PLATFORMEVENT PollEvent(int* symbol) {
    SDL_Event event;
    if (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
            *symbol = event.key.keysym.sym;
            return PLATFORMEVENT::KeyDown;
        case SDL_KEYUP:
            *symbol = event.key.keysym.sym;
            return PLATFORMEVENT::KeyUp;
        case SDL_VIDEORESIZE:
            Resize(event.resize.w, event.resize.h);
            return PLATFORMEVENT::Other;
        default:
            return PLATFORMEVENT::Other;
        }
    }
    // A termination signal reads as ESC, pressed anew at every drain, which ends the show.
    if (terminationRequested && !terminationTold) {
        terminationTold = true;
        *symbol = SDLK_ESCAPE;
        return PLATFORMEVENT::KeyDown;
    }
    terminationTold = false;
    return PLATFORMEVENT::Empty;
}

bool OpenSound(PLATFORMSOUND fill, void* userdata) {
    if (SDL_Init(SDL_INIT_EVERYTHING) != 0) return false;
    SDL_AudioSpec desired = {};
    desired.freq = 44100;
    desired.format = AUDIO_S16LSB;
    desired.channels = 1;
    desired.samples = 4096;
    desired.callback = fill; // SDL fills the buffer with silence before each call
    desired.userdata = userdata;
    // No record for the obtained format: SDL converts when the device's own format differs.
    if (SDL_OpenAudio(&desired, nullptr) < 0) {
        // With no driver found SDL keeps its audio side started, and would refuse every later
        // open even once a device is there: stop it, unless it is playing already.
        if (!audioOpen) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    audioOpen = true;
    SDL_PauseAudio(0);
    return true;
}

void CloseSound() {
    // Closing waits for the audio thread to leave the callback, which takes the audio lock:
    // closing while holding that lock could wait for ever. So no lock here.
    SDL_PauseAudio(1);
    SDL_CloseAudio();
    audioOpen = false;
}

void LockSound() { SDL_LockAudio(); }
void UnlockSound() { SDL_UnlockAudio(); }

uint32_t Clock() { return SDL_GetTicks() * 1000u; } // wraps as the 32-bit clock does

void Sleep(int milliseconds) { SDL_Delay(Uint32(milliseconds > 0 ? milliseconds : 0)); }

void End(int) { SDL_Quit(); }
} // namespace

const PLATFORM PlatformDesktop = PLATFORM_RECORD("desktop");
