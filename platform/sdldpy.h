// SDLDPY: the demo's one window (or full screen) and the presentation of pictures on it.
// The module keeps a single display, in a window or on the whole screen as the program's main
// chose (PlatformChoose): the only difference between the two programs.
#pragma once
#include <cstdint>

#include "img/img.h"

struct SDLDPY {
    int width, height; // size of the opened mode
    int bpp;           // colour depth the platform granted
};

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
