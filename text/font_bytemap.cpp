// FONTPutBYTEMAP: the font's one operation on grey maps, a map of character codes drawn as a
// screen of text.
#include <cstdint>

#include "bytemap/bytemap.h"
#include "support/wrap.h"
#include "text/font.h"

namespace {
// Where the screen's first visible column (or row) is, and the pen position of its glyph: a
// screen reaching left of the target starts at the first column that shows at all, with the
// pen up to one glyph short of the edge.
struct Start {
    int index, pen;
};
Start FirstVisible(int position, int glyph) {
    if (position >= 0) return Start{0, position};
    const int64_t hidden = -int64_t(position);
    return Start{int(hidden / glyph), int(-(hidden % glyph))};
}
} // namespace

void FONTPutBYTEMAP(FONT* font, const BYTEMAP* map) {
    // A glyph size below 1 would divide by zero finding the first column, and could not tile a
    // screen anyway.
    if (!font || !map || !map->data || !font->source || !font->target || font->width <= 0 || font->height <= 0) {
        FONTError();
        return;
    }
    const IMG* target = font->target;
    const int64_t left = map->x, top = map->y;
    const int64_t right = left + int64_t(map->width) * font->width, bottom = top + int64_t(map->height) * font->height;
    if (right <= 0 || bottom <= 0 || left >= target->width || top >= target->height) return;

    const Start column0 = FirstVisible(map->x, font->width), row0 = FirstVisible(map->y, font->height);
    font->y = row0.pen;
    for (int row = row0.index; font->y < target->height && row < map->height; ++row) {
        font->x = column0.pen;
        for (int column = column0.index; font->x < target->width && column < map->width; ++column) {
            font->character = BYTEMAPGetPixel(map, column, row);
            FONTPutChar(font);
        }
        font->x = column0.pen;
        font->y = wrap::Add(font->y, font->height); // wraps rather than overflowing
    }
}
