#include "text/font.h"

#include <cstdio>
#include <cstdlib>

#include "support/identity.h"
#include "support/wrap.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("FONT", "20110515", "OrvilleK", "C++", "CODE");
unsigned char debug = 0;

using BlitFunction = void (*)(const IMG*, IMG*, int, int, int, int, int, int);

struct Cell {
    int x, y;
};

// Where the glyph of `code` starts in the source; false when that cannot even be expressed in
// the picture's coordinates (a degenerate source, or a code far past the last cell).
bool FindCell(const FONT* font, int code, Cell& cell) {
    const int sourceWidth = font->source->width;
    if (sourceWidth <= 0) return false;
    const int64_t t = int64_t(code) * font->width;
    const int64_t x = t % sourceWidth;
    const int64_t y = t / sourceWidth * font->height;
    if (y < INT32_MIN || y > INT32_MAX) return false;
    cell = Cell{int(x), int(y)};
    return true;
}

// The shared glyph step: cut the cell, copy it with the variant's rule (which clips against both
// pictures and draws nothing without a target), then move the pen the full width regardless.
void PutWith(FONT* font, BlitFunction blit) {
    if (!font || !font->source) {
        FONTError();
        return;
    }
    Cell cell;
    if (font->target && FindCell(font, font->character, cell))
        blit(font->source, font->target, cell.x, cell.y, font->x, font->y, font->width, font->height);
    font->x = wrap::Add(font->x, font->width); // pens wrap rather than overflow
}

// The glyph code of one hexadecimal digit: the font's cells follow ASCII.
int HexDigit(uint32_t nibble) { return int(nibble < 10 ? '0' + nibble : 'A' + (nibble - 10)); }
} // namespace

void FONTError() {
    if (debug) std::printf("FONT Error.\n");
}

FONT* FONTNew() {
    auto* font = static_cast<FONT*>(std::calloc(1, sizeof(FONT)));
    if (!font) {
        FONTError();
        return nullptr;
    }
    font->width = 6;
    font->height = 6;
    return font;
}

void FONTFree(FONT** font) {
    if (!font || !*font) {
        FONTError();
        return;
    }
    if ((*font)->source) IMGFree(&(*font)->source);
    std::free(*font);
    *font = nullptr;
}

void FONTPutChar(FONT* font) { PutWith(font, IMGBlitTransparent); }
void FONTPutCharSolid(FONT* font) { PutWith(font, IMGBlit); }
void FONTPutCharAdd(FONT* font) { PutWith(font, IMGBlitAdd); }
void FONTPutCharSaturated(FONT* font) { PutWith(font, IMGBlitAddSat); }

void FONTPutHex8(FONT* font, uint32_t value) {
    if (!font || !font->source) {
        FONTError();
        return;
    }
    font->character = HexDigit((value >> 4) & 0xF);
    FONTPutChar(font);
    font->character = HexDigit(value & 0xF);
    FONTPutChar(font);
}

void FONTPutHex16(FONT* font, uint32_t value) {
    FONTPutHex8(font, value >> 8);
    FONTPutHex8(font, value);
}

void FONTPutHex32(FONT* font, uint32_t value) {
    FONTPutHex16(font, value >> 16);
    FONTPutHex16(font, value & 0xFFFFu);
}

void FONTPutLine(FONT* font, const char* text) {
    if (!font || !font->source || !text) {
        FONTError();
        return;
    }
    // Characters are the platform's signed bytes: codes 128 .. 255 come out negative and,
    // lying before the first cell, draw nothing.
    for (; *text && *text != '\n'; ++text) {
        font->character = static_cast<signed char>(*text);
        FONTPutChar(font);
    }
}

void FONTPutText(FONT* font, const char* text) {
    if (!font || !font->source || !font->target || !text) {
        FONTError();
        return;
    }
    const int left = font->x;
    for (; *text; ++text) {
        if (*text == '\n') {
            font->x = left;
            font->y = wrap::Add(font->y, font->height);
            continue;
        }
        font->character = static_cast<signed char>(*text);
        FONTPutCharSolid(font);
    }
}

void FONTPutBigChar(FONT* big, FONT* small) {
    if (!big || !small || !big->source || !big->target || !small->source) {
        FONTError();
        return;
    }
    small->target = big->target;
    const IMG* source = big->source;
    Cell cell;
    // Only a cell wholly inside the big font's picture is read, pixel by pixel.
    if (FindCell(big, big->character, cell) && source->pixels && cell.x >= 0 && cell.y >= 0 && big->width >= 0 &&
        big->height >= 0 && int64_t(cell.x) + big->width <= source->width &&
        int64_t(cell.y) + big->height <= source->height) {
        for (int i = 0; i < big->height; ++i) {
            const uint32_t* row = source->pixels + size_t(cell.y + i) * size_t(source->width) + size_t(cell.x);
            for (int j = 0; j < big->width; ++j) {
                if (!row[j]) continue;
                small->x = wrap::Add(big->x, wrap::Mul(j, small->width));
                small->y = wrap::Add(big->y, wrap::Mul(i, small->height));
                FONTPutChar(small);
            }
        }
    }
    big->x = wrap::Add(big->x, wrap::Mul(big->width, small->width));
}
