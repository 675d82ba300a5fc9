// SCROLL: runs a line of text sideways through a horizontal band of a picture, one font glyph
// per character, as a ring: after the last character comes the first again, so the band is
// always full. Only a pixel offset and a cursor on the first visible character are kept.
//
// Refused calls are reported through SCROLLError (silent unless the debug switch is on) and
// change nothing. A new scroller draws and moves nothing until SCROLLSet gives it a text.
#pragma once

#include "img/img.h"
#include "text/cursor.h"
#include "text/font.h"

struct SCROLL {
    int x, y, z;              // band's left and top edge on the target; z unused
    int width, height, depth; // band size: the target's width and the glyph height
    int speed;                // pixels the text moves left per step; negative moves it right
    int offset;               // pixels of the first visible character already out left of x
    const char* text;         // zero-terminated; borrowed
    CURSOR* cursor;           // first visible character; owned
    FONT* font;               // borrowed
    IMG* target;              // borrowed
};

SCROLL* SCROLLNew(); // null when memory runs out
void SCROLLFree(SCROLL** scroll);
// Installs a text (restarted at its first character), its font and its target; speed and
// offset keep their values. An empty text is refused: there would be nothing to run.
void SCROLLSet(SCROLL* scroll, const char* text, FONT* font, IMG* target);
void SCROLLDraw(SCROLL* scroll);      // transparent glyphs; never moves the text
void SCROLLDrawSolid(SCROLL* scroll); // opaque glyphs; never moves the text
void SCROLLStep(SCROLL* scroll);      // moves the text by the speed; draws nothing
void SCROLLError();
