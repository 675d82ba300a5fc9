// The platform under the display, keyboard and sound modules: one record of operations that a
// backend fills, as SDL's own video and audio drivers do. Three backends exist, a file each:
// the desktop (desktop.cpp: SDL 1.2, either library), the browser (browser.cpp: Emscripten's
// SDL 1.2) and headless (headless.cpp: no screen, keyboard or sound card, for the recorder and
// the tests). Only the desktop and browser backends include SDL; SDLDPY, SDLKBD, SDLSND and the
// pacing reach the platform through Platform() alone.
#pragma once
#include <cstdint>

#include "img/img.h"

// What pollEvent took from the input queue.
enum class PLATFORMEVENT { Empty, KeyDown, KeyUp, Other };

// Where the pictures are shown: in a window, or on the whole screen.
enum class PLATFORMSCREEN { Window, FullScreen };

// What the display asks openMode for.
struct PLATFORMMODE {
    int width, height;     // the pictures' size
    PLATFORMSCREEN screen; // the program's, as its main chose it
    const char* title;     // window title and icon text
};

// Fills `length` bytes of sound; the buffer holds silence when it is called.
using PLATFORMSOUND = void (*)(void* userdata, uint8_t* buffer, int length);

struct PLATFORM {
    const char* name; // "desktop", "browser" or "headless"
    // Null when the settings the backend takes from the environment are good; otherwise one
    // line naming the setting and what it takes (the program then stops with status 2).
    const char* (*checkSettings)();
    // Tells the user, in one line, why the program stops: on standard error, and where a
    // program may have no terminal to be read in (a windowed Windows program), in a message
    // box as well.
    void (*say)(const char* line);
    // Opens, or opens anew, a mode that shows pictures of mode.width x mode.height; stores the
    // colour depth granted in *bpp. False when none could be opened; why() then says why.
    bool (*openMode)(const PLATFORMMODE& mode, int* bpp);
    // Forgets the mode: nothing more is shown until the next openMode.
    void (*closeMode)();
    // One line on why the last openMode failed, naming what it tried.
    const char* (*why)();
    // Shows the top-left width x height of the picture, every pixel opaque, in whatever format
    // the screen holds. Only while a mode is open; the picture is not kept.
    void (*present)(const IMG* picture, int width, int height);
    // Takes one event from the input queue: Empty when none waits; KeyDown or KeyUp of a key,
    // with its key symbol (SDL 1.2's numbering) in *symbol; Other for anything else.
    PLATFORMEVENT (*pollEvent)(int* symbol);
    // Starts sound at 44100 Hz, signed 16-bit little-endian, mono, 4096 frames a buffer: `fill`
    // runs whenever more is wanted, on a thread of the backend's (headless: when pulled). One
    // sound output at a time; false when there is none.
    bool (*openSound)(PLATFORMSOUND fill, void* userdata);
    // Stops the sound; once it returns, `fill` runs no more.
    void (*closeSound)();
    // Keeps `fill` from running until unlockSound; does not nest.
    void (*lockSound)();
    void (*unlockSound)();
    // Microseconds since the backend started, in 32 bits that wrap (about every 71.6 minutes).
    uint32_t (*clock)();
    // Gives the processor away for about this many milliseconds.
    void (*sleep)(int milliseconds);
    // The program ends with this status: the desktop gets its own video mode back, a page is
    // told the show has ended.
    void (*end)(int status);
};

// A backend's record, filled by name: each backend defines, file-local, a function for every
// slot, named as the slot with a capital (CheckSettings fills checkSettings). One missing or of
// another type does not compile, and none can land in another's slot.
#define PLATFORM_RECORD(backendName)                                                            \
    PLATFORM {                                                                                  \
        .name = (backendName), .checkSettings = CheckSettings, .say = Say, .openMode = OpenMode, \
        .closeMode = CloseMode, .why = Why, .present = Present, .pollEvent = PollEvent,         \
        .openSound = OpenSound, .closeSound = CloseSound, .lockSound = LockSound,               \
        .unlockSound = UnlockSound, .clock = Clock, .sleep = Sleep, .end = End,                 \
    }

// `say` where standard error is the place: one line and its end.
void PlatformSayOnStandardError(const char* line);

// The backend in use and where it shows the pictures: what the program's main chose, headless
// in a window until then.
const PLATFORM* Platform();
PLATFORMSCREEN PlatformScreen();
// Runs every later call on `backend` (null: headless), showing the pictures on `screen`.
void PlatformChoose(const PLATFORM* backend, PLATFORMSCREEN screen = PLATFORMSCREEN::Window);

// The backends. Headless is part of the platform library itself; the desktop's and the
// browser's, which need SDL, are libraries of their own (kelp_backend_desktop, _browser).
extern const PLATFORM PlatformDesktop;
extern const PLATFORM PlatformBrowser;
extern const PLATFORM PlatformHeadless;
