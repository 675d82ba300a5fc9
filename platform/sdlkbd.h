// SDLKBD: turns the platform's event queue into one key byte, read once per frame.
#pragma once

struct SDLKBD {
    unsigned char* keys; // 8 bytes; keys[0] is the key byte, 0 when no key waits
};

// The key byte of ESC, which ends the show.
constexpr unsigned char SDLKBDEscape = 27;

SDLKBD* SDLKBDNew(); // null until a display exists; afterwards always the same record
int SDLKBDGetKey(SDLKBD* keyboard); // drains the event queue; always 0
void SDLKBDFree(SDLKBD** keyboard);
const char* SDLKBDToASCII(const SDLKBD* keyboard);
SDLKBD* SDLKBDFromASCII(const char* text);
int SDLKBDEqual(const SDLKBD* a, const SDLKBD* b);
SDLKBD* SDLKBDCopy(const SDLKBD* keyboard);

