// FONT: draws glyphs cut from a font picture into a target picture. Cells are laid out left to
// right, then top to bottom, code 0 at the top-left corner. The pen moves right by one glyph
// width after every glyph, whether or not anything of it was drawn.
//
// Refused calls are reported through FONTError (silent unless the debug switch is on) and
// change nothing.
#pragma once
#include <cstdint>

#include "img/img.h"

struct BYTEMAP;

struct FONT {
    int x, y, z;              // pen: left and top edge of the next glyph; z unused
    int width, height, depth; // glyph cell size (6 x 6 in a new font); depth unused
    int character;            // code drawn by the next glyph operation
    IMG* source;              // the font picture; owned, released with the font
    IMG* target;              // the picture drawn into; borrowed
};

FONT* FONTNew(); // null when memory runs out
void FONTFree(FONT** font);

// One glyph at the pen, then the pen advances. The four differ only in the pixel rule:
// transparent (black glyph pixels leave the target), solid, wrapping add, saturating add.
void FONTPutChar(FONT* font);
void FONTPutCharSolid(FONT* font);
void FONTPutCharAdd(FONT* font);
void FONTPutCharSaturated(FONT* font);

// Upper-case hexadecimal digits with FONTPutChar: the low byte, 16 bits, or all 32 bits.
void FONTPutHex8(FONT* font, uint32_t value);
void FONTPutHex16(FONT* font, uint32_t value);
void FONTPutHex32(FONT* font, uint32_t value);

void FONTPutLine(FONT* font, const char* text); // up to a zero byte or newline, transparent
void FONTPutText(FONT* font, const char* text); // whole text, solid; newline returns the pen
// Every lit pixel of the big font's current glyph becomes one glyph of the small font.
void FONTPutBigChar(FONT* big, FONT* small);
// A grey map of character codes (0 .. 255) as a screen of text, its top-left corner at the
// map's own x and y; the pen is left at the start of the row after the last one drawn.
void FONTPutBYTEMAP(FONT* font, const BYTEMAP* map);
void FONTError();
