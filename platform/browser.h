// What differs when the show runs in a web page (the Emscripten build): the present onto the
// page's canvas, the sound callback over silence, and the end of the show. Private to the
// platform layer; the other modules never learn which of the two runs them.
#pragma once
#include <SDL.h>

#include "img/img.h"

// Shows the top-left w x h of `picture` on the page's canvas: the screen surface is the canvas,
// and unlocking it copies its hidden buffer, RGBA bytes, there.
void BrowserPresent(SDL_Surface* screen, const IMG* picture, int w, int h);

// Makes the process's end the show's end on the page, once video is up: the sound stops at once
// and the page is told. The program ends through exit() as it does on the desktop.
void BrowserEndShowAtExit();

// SDL's audio callback in the page. The page's audio hands over the buffer it played last, not
// silence, so it is cleared before the sound module fills what it has.
void BrowserSoundCallback(void* userdata, Uint8* buffer, int length);

// Tells the page the sound device is open, so it can say when the browser holds sound back
// until the first key or click.
void BrowserSoundOpened();
