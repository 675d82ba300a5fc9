// SDLDPY: the demo's one window (or full screen) and the presentation of pictures on it.
// The module keeps a single display; the mode flags come from the program that links it
// (windowed or full screen), and are the only difference between the two builds.
#pragma once
#include <cstdint>

#include "img/img.h"

struct SDLDPY {
    int width, height; // size of the opened mode
    int bpp;           // colour depth the platform granted
};

// Video-mode flags of this program: 0x10000001 windowed, 0x90000001 full screen. Defined by
// exactly one of the kelp_mode_window / kelp_mode_fullscreen libraries.
extern const uint32_t SDLDPYModeFlags;

SDLDPY* SDLDPYNew(); // opens 256 x 256
void SDLDPYSetMode(SDLDPY* display, int width, int height);
void SDLDPYBlitIMG(SDLDPY* display, const IMG* img);
void SDLDPYFree(SDLDPY** display);
const char* SDLDPYToASCII(const SDLDPY* display);
SDLDPY* SDLDPYFromASCII(const char* text);
bool SDLDPYEqual(const SDLDPY* a, const SDLDPY* b);
SDLDPY* SDLDPYCopy(const SDLDPY* display);
void SDLDPYFlipIMG(SDLDPY* display, const IMG* img);
void SDLDPYPutIMG(SDLDPY* display, const IMG* img);
void SDLDPYError();

// The display record while one exists (the keyboard asks whether video is up), else null.
SDLDPY* SDLDPYCurrent();
// True while a video mode is open.
bool SDLDPYIsOpen();
// The platform's explanation of its last failure, for the program's own error message.
const char* SDLDPYReason();
