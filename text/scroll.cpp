#include "text/scroll.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "support/identity.h"
#include "support/wrap.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("SCROLL", "20110515", "OrvilleK", "C++", "CODE");
unsigned char debug = 0;

constexpr char kDefaultText[] = "A scroll's default text. ";
constexpr int kDefaultLength = int(sizeof kDefaultText) - 1;

// Characters before the zero byte, or -1 when there are more than a cursor can index.
int Length(const char* text) {
    size_t n = 0;
    while (text[n]) {
        if (++n > size_t(INT_MAX)) return -1;
    }
    return int(n);
}

void DrawWith(SCROLL* scroll, void (*put)(FONT*)) {
    if (!scroll || !scroll->text || !scroll->cursor || !scroll->target || !scroll->font ||
        scroll->font->width <= 0 || scroll->cursor->length <= 0) {
        SCROLLError();
        return;
    }
    FONT* font = scroll->font;
    CURSOR* cursor = scroll->cursor;
    font->x = wrap::Sub(scroll->x, scroll->offset);
    font->y = scroll->y;
    font->target = scroll->target;
    // Two more glyphs than fit whole: one partly out on the left, one partly out on the right.
    const int64_t count = int64_t(scroll->width) / font->width + 2;
    CURSORSave(cursor);
    cursor->step = 1;
    for (int64_t i = 0; i < count; ++i) {
        font->character = static_cast<signed char>(cursor->data[cursor->position]);
        put(font);
        CURSORStep(cursor);
    }
    CURSORRestore(cursor);
}

// Moves the cursor by `characters`; the cursor wraps anyway, so a count too large for its step
// field (only from an extreme speed or offset) is first reduced by the text length.
void Move(CURSOR* cursor, int64_t characters) {
    if (characters < INT_MIN || characters > INT_MAX) characters %= cursor->length;
    cursor->step = int(characters);
    CURSORStep(cursor);
}
} // namespace

void SCROLLError() {
    if (debug) std::printf("SCROLL error\n");
}

SCROLL* SCROLLNew() {
    auto* scroll = static_cast<SCROLL*>(std::calloc(1, sizeof(SCROLL)));
    if (!scroll) {
        SCROLLError();
        return nullptr;
    }
    scroll->cursor = CURSORNew();
    if (!scroll->cursor) {
        std::free(scroll);
        SCROLLError();
        return nullptr;
    }
    CURSORSet(scroll->cursor, kDefaultText, kDefaultLength, 1, 1);
    scroll->speed = 1;
    return scroll;
}

void SCROLLFree(SCROLL** scroll) {
    if (!scroll || !*scroll) {
        SCROLLError();
        return;
    }
    if ((*scroll)->cursor) CURSORFree(&(*scroll)->cursor);
    std::free(*scroll);
    *scroll = nullptr;
}

void SCROLLSet(SCROLL* scroll, const char* text, FONT* font, IMG* target) {
    if (!scroll || !text || !font || !target) {
        SCROLLError();
        return;
    }
    const int length = Length(text);
    if (length <= 0) {
        SCROLLError();
        return;
    }
    // The new cursor is made before the old one goes, so running out of memory changes nothing.
    CURSOR* cursor = CURSORNew();
    if (!cursor) {
        SCROLLError();
        return;
    }
    CURSORSet(cursor, text, length, 1, 1);
    if (scroll->cursor) CURSORFree(&scroll->cursor);
    scroll->cursor = cursor;
    scroll->text = text;
    scroll->font = font;
    scroll->target = target;
    scroll->x = 0;
    scroll->y = 0;
    scroll->width = target->width;
    scroll->height = font->height;
    scroll->depth = font->depth;
}

void SCROLLDraw(SCROLL* scroll) { DrawWith(scroll, FONTPutChar); }
void SCROLLDrawSolid(SCROLL* scroll) { DrawWith(scroll, FONTPutCharSolid); }

void SCROLLStep(SCROLL* scroll) {
    if (!scroll || !scroll->text || !scroll->cursor || !scroll->font || scroll->font->width <= 0 ||
        scroll->cursor->length <= 0) {
        SCROLLError();
        return;
    }
    const int64_t w = scroll->font->width;
    const int64_t offset = int64_t(scroll->offset) + scroll->speed;
    CURSOR* cursor = scroll->cursor;
    if (offset >= w) {
        Move(cursor, offset / w);
        scroll->offset = int(offset % w);
    } else if (offset < 0) {
        // An exact negative multiple of w ends as w itself; the next step brings it back.
        Move(cursor, offset / w - 1);
        scroll->offset = int(offset % w + w);
    } else {
        scroll->offset = int(offset);
    }
}
